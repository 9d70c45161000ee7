// One line of text per display event, as quorvex-dump prints them and the tests expect them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// "Text 2 "AB"", "CursorAddress 5 10", "Clear ClearLine 1", "CursorMove NextLine", ... without
// the line's end.
std::string EventLine(uint32_t type, intptr_t kind, int32_t argument);
// The same and the line's end.
void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument);
