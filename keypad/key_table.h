// The 25 panel keys: where each sits on the panel, its pictures and its behaviour mode, all
// following from the key id.
#pragma once
#include <cstdint>

struct KeyTable {
    static constexpr int32_t Count = 25;
    static constexpr int32_t FirstId = 2000;
    static constexpr int32_t LastId = FirstId + Count - 1;
    static constexpr int32_t FastId = 2008;
    static constexpr int32_t SlowId = 2009;

    // Behaviour modes of a key control.
    static constexpr uint32_t Push = 1;
    static constexpr uint32_t AutoRepeat = 2;
    static constexpr uint32_t Latch = 3;

    // Client coordinates of the main window, indexed by id - FirstId.
    static constexpr int32_t X[Count] = {297, 297, 395, 309, 353, 353, 176, 243, 10,  65,  443, 443, 501,
                                         560, 443, 501, 560, 443, 501, 560, 386, 501, 386, 560, 328};
    static constexpr int32_t Y[Count] = {78,  243, 165, 165, 121, 207, 318, 318, 318, 318, 318, 256, 256,
                                         256, 192, 192, 192, 128, 128, 128, 318, 318, 256, 318, 318};
    static constexpr int32_t Width[Count] = {52, 52, 46, 46, 44, 44, 66, 66, 52, 52, 52, 52, 52,
                                             52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52};
    static constexpr int32_t Height[Count] = {52, 52, 44, 44, 46, 46, 52, 52, 52, 52, 52, 52, 52,
                                              52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52};

    // What an operator calls each key; tools name keys by it.
    static constexpr const char* Legend[Count] = {
        "LINE UP", "LINE DOWN", "RIGHT", "LEFT", "UP", "DOWN", "ADJUST UP", "ADJUST DOWN", "FAST",
        "SLOW",    "0",         "1",     "2",    "3",  "4",    "5",         "6",           "7",
        "8",       "9",         "NEG",   ".",    ":",  "ENTER", "EXIT"};

    static constexpr bool IsKey(int32_t id) { return id >= FirstId && id <= LastId; }
    static constexpr int32_t Index(int32_t id) { return id - FirstId; }
    static constexpr int32_t NormalBitmapId(int32_t id) { return id - 1825; }
    static constexpr int32_t PressedBitmapId(int32_t id) { return id - 1800; }
    static constexpr uint32_t Mode(int32_t id) { return id == FastId || id == SlowId ? Latch : AutoRepeat; }
};
