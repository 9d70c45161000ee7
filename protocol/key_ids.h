// The panel keys' ids: the key controls' ids and WM_COMMAND ids, in the order of their pictures.
#pragma once
#include <cstdint>

struct KeyId {
    enum : int32_t {
        LineUp = 2000,
        LineDown,
        Right,
        Left,
        Up,
        Down,
        AdjustUp,
        AdjustDown,
        Fast,
        Slow,
        Digit0,
        Digit1,
        Digit2,
        Digit3,
        Digit4,
        Digit5,
        Digit6,
        Digit7,
        Digit8,
        Digit9,
        Neg,
        Point,
        Serv,
        Enter,
        Exit,
    };
};
