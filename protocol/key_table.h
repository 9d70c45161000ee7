// The 25 panel keys, one row each: id, legend, place on the panel, behaviour mode and the
// computer keys that do the same; what a click does comes from the key's command row. The window,
// the bindings, the tools and the picture generator all read their keys from here.
#pragma once
#include <cstdint>

#include "protocol/panel_command.h"
#include "protocol/command_table.h"
#include "protocol/key_ids.h"
#include "protocol/panel.h"

enum class KeyActionKind : uint8_t {
    None,
    Command,     // SendCommand of `command`
    Adjust,      // SendCommand Adjust with `command.argument` at the current speed
    Byte,        // WriteBytes of `byte`
    Fast,        // the FAST action
    Slow,        // the SLOW action
    ToggleFast,  // ToggleLatch on FAST, then the FAST action
    ToggleSlow,  // ToggleLatch on SLOW, then the SLOW action
    BranchTo,    // the Branch To dialog
};

struct KeyAction {
    KeyActionKind kind;
    PanelCommand command;
    char byte;
};

// Virtual-key codes the bindings read (the platform's values).
namespace virtual_key {
constexpr uint32_t Back = 8, Return = 13, Shift = 16, Control = 17, Escape = 27;
constexpr uint32_t Prior = 33, Next = 34, Left = 37, Up = 38, Right = 39, Down = 40;
constexpr uint32_t Insert = 45, Delete = 46, Numpad0 = 96, Subtract = 109, Decimal = 110;
constexpr uint32_t Oem1 = 186, OemMinus = 189, OemPeriod = 190, F1 = 112;
}  // namespace virtual_key

struct KeyRow {
    int32_t id;
    const char* legend;  // what an operator calls the key; tools name keys by it
    int32_t x, y, width, height;  // client coordinates of the main window
    uint32_t mode;
    uint32_t computerKeys[2];  // 0: none
};

namespace key_action {
constexpr KeyAction Command(int32_t type, int32_t argument) { return {KeyActionKind::Command, {type, argument, 0}, 0}; }
constexpr KeyAction Adjust(int32_t direction) {
    return {KeyActionKind::Adjust, {panel_command::Adjust, direction, 0}, 0};
}
constexpr KeyAction Byte(char b) { return {KeyActionKind::Byte, {0, 0, 0}, b}; }
constexpr KeyAction Just(KeyActionKind kind) { return {kind, {0, 0, 0}, 0}; }

// What a click of the key does, read from its command row: the request the row answers (an
// adjust at the speed of the moment), else the row's byte; FAST and SLOW send theirs by the latch
// roads. None for a key that no row names.
constexpr KeyAction OfKey(int32_t key) {
    for (const commands::Row& r : commands::kRows) {
        if (r.key != key) continue;
        if (r.kind == CommandKind::Fast) return Just(KeyActionKind::Fast);
        if (r.kind == CommandKind::Slow) return Just(KeyActionKind::Slow);
        if (r.request.type == panel_command::Adjust) return Adjust(r.request.argument);
        if (r.request.type != 0) return Command(r.request.type, r.request.argument);
        return Byte(r.bytes[0]);
    }
    return Just(KeyActionKind::None);
}
}  // namespace key_action

struct KeyTable {
    // Behaviour modes of a key control.
    static constexpr uint32_t Push = 1;
    static constexpr uint32_t AutoRepeat = 2;
    static constexpr uint32_t Latch = 3;

    static constexpr KeyRow Rows[] = {
#define QV_DIGIT(d, x, y) \
    {KeyId::Digit##d, #d, x, y, 52, 52, AutoRepeat, {'0' + d, virtual_key::Numpad0 + d}}
        {KeyId::LineUp, "LINE UP", 297, 78, 52, 52, AutoRepeat, {virtual_key::Prior, 0}},
        {KeyId::LineDown, "LINE DOWN", 297, 243, 52, 52, AutoRepeat, {virtual_key::Next, 0}},
        {KeyId::Right, "RIGHT", 395, 165, 46, 44, AutoRepeat, {virtual_key::Right, 0}},
        {KeyId::Left, "LEFT", 309, 165, 46, 44, AutoRepeat, {virtual_key::Back, virtual_key::Left}},
        {KeyId::Up, "UP", 353, 121, 44, 46, AutoRepeat, {virtual_key::Up, 0}},
        {KeyId::Down, "DOWN", 353, 207, 44, 46, AutoRepeat, {virtual_key::Down, 0}},
        {KeyId::AdjustUp, "ADJUST UP", 176, 318, 66, 52, AutoRepeat, {virtual_key::Insert, 'P'}},
        {KeyId::AdjustDown, "ADJUST DOWN", 243, 318, 66, 52, AutoRepeat, {virtual_key::Delete, 'M'}},
        {KeyId::Fast, "FAST", 10, 318, 52, 52, Latch, {0, 0}},
        {KeyId::Slow, "SLOW", 65, 318, 52, 52, Latch, {0, 0}},
        QV_DIGIT(0, 443, 318),
        QV_DIGIT(1, 443, 256),
        QV_DIGIT(2, 501, 256),
        QV_DIGIT(3, 560, 256),
        QV_DIGIT(4, 443, 192),
        QV_DIGIT(5, 501, 192),
        QV_DIGIT(6, 560, 192),
        QV_DIGIT(7, 443, 128),
        QV_DIGIT(8, 501, 128),
        QV_DIGIT(9, 560, 128),
        {KeyId::Neg, "NEG", 386, 318, 52, 52, AutoRepeat, {virtual_key::Subtract, virtual_key::OemMinus}},
        {KeyId::Point, ".", 501, 318, 52, 52, AutoRepeat, {virtual_key::Decimal, virtual_key::OemPeriod}},
        {KeyId::Serv, ":", 386, 256, 52, 52, AutoRepeat, {virtual_key::Oem1, 0}},
        {KeyId::Enter, "ENTER", 560, 318, 52, 52, AutoRepeat, {virtual_key::Return, 0}},
        {KeyId::Exit, "EXIT", 328, 318, 52, 52, AutoRepeat, {virtual_key::Escape, 0}},
#undef QV_DIGIT
    };
    static constexpr int32_t Count = sizeof Rows / sizeof Rows[0];
    static constexpr int32_t FirstId = Rows[0].id;
    static constexpr int32_t LastId = Rows[Count - 1].id;

    static constexpr bool IsKey(int32_t id) { return Index(id) >= 0; }
    // The row's place; -1 for an id that names no key (the ids run in row order, checked below).
    static constexpr int32_t Index(int32_t id) { return id >= FirstId && id <= LastId ? id - FirstId : -1; }
    static constexpr const KeyRow& Row(int32_t id) { return Rows[Index(id)]; }
    static constexpr uint32_t Mode(int32_t id) { return Row(id).mode; }
    static constexpr const char* Legend(int32_t id) { return Row(id).legend; }
    // What a click (or double click) of the key does; None for an id that names no key.
    static constexpr KeyAction Action(int32_t id) {
        return IsKey(id) ? key_action::OfKey(id) : key_action::Just(KeyActionKind::None);
    }
    // The key pictures follow the panel's and the rows: all normal ones, then all pressed ones.
    static constexpr int32_t FirstPictureId = panel::BitmapId + 1;
    static constexpr int32_t NormalBitmapId(int32_t id) { return FirstPictureId + Index(id); }
    static constexpr int32_t PressedBitmapId(int32_t id) { return FirstPictureId + Count + Index(id); }
};

// The window's command range and the picture ids take the keys as one run of ids in row order.
constexpr bool KeyIdsRunInRowOrder() {
    for (int32_t i = 0; i < KeyTable::Count; ++i)
        if (KeyTable::Rows[i].id != KeyTable::FirstId + i) return false;
    return true;
}
static_assert(KeyIdsRunInRowOrder());

// Every key has its command row and every row's key is a key: the two tables name the same keys.
constexpr bool KeysAndCommandRowsAgree() {
    for (const KeyRow& k : KeyTable::Rows)
        if (KeyTable::Action(k.id).kind == KeyActionKind::None) return false;
    for (const commands::Row& r : commands::kRows)
        if (r.key != 0 && !KeyTable::IsKey(r.key)) return false;
    return true;
}
static_assert(KeysAndCommandRowsAgree());
