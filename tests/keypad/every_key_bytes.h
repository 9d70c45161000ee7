// The 25 panel keys in id order with the bytes one click on each sends from a fresh panel: FAST
// then latches and sends "B"; SLOW then latches, releases FAST and sends "C".
#pragma once
#include <cstdint>

#include "protocol/key_ids.h"

struct KeyBytes {
    int32_t id;
    const char* bytes;
};
constexpr KeyBytes kEveryKey[] = {
    {KeyId::LineUp, "o"},
    {KeyId::LineDown, "O"},
    {KeyId::Right, "L"},
    {KeyId::Left, "H"},
    {KeyId::Up, "K"},
    {KeyId::Down, "J"},
    {KeyId::AdjustUp, "A"},
    {KeyId::AdjustDown, "S"},
    {KeyId::Fast, "B"},
    {KeyId::Slow, "C"},
    {KeyId::Digit0, "0"},
    {KeyId::Digit1, "1"},
    {KeyId::Digit2, "2"},
    {KeyId::Digit3, "3"},
    {KeyId::Digit4, "4"},
    {KeyId::Digit5, "5"},
    {KeyId::Digit6, "6"},
    {KeyId::Digit7, "7"},
    {KeyId::Digit8, "8"},
    {KeyId::Digit9, "9"},
    {KeyId::Neg, "-"},
    {KeyId::Point, "."},
    {KeyId::Serv, ":"},
    {KeyId::Enter, "\n"},
    {KeyId::Exit, "P"},
};
