// The outbound command request and the values of its fields.
#pragma once
#include <cstdint>

struct PanelCommand {
    int32_t type;
    int32_t argument;
    int32_t speed;
};

namespace panel_command {
// Types.
constexpr int32_t CursorKey = 3;
constexpr int32_t SelectLine = 4;
constexpr int32_t ScrollLine = 6;
constexpr int32_t Adjust = 7;
constexpr int32_t ExitKey = 8;

// CursorKey arguments.
constexpr int32_t Left = 20;
constexpr int32_t Up = 21;
constexpr int32_t Right = 22;
constexpr int32_t Down = 23;

// Adjust arguments and speeds.
constexpr int32_t AdjustUp = 24;
constexpr int32_t AdjustDown = 25;
constexpr int32_t Slow = 26;
constexpr int32_t Normal = 27;
constexpr int32_t Fast = 28;

// ScrollLine arguments: any nonzero value is line up.
constexpr int32_t LineDown = 0;
constexpr int32_t LineUp = 1;
}  // namespace panel_command
