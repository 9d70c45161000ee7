// One line of text per display event, as the dump tool prints them.
#pragma once
#include <cstdint>
#include <cstdio>

// "Text 2 "AB"", "CursorAddress 5 10", "Clear ClearLine 1", "CursorMove NextLine", ...
void PrintEvent(std::FILE* out, uint32_t type, intptr_t kind, int32_t argument);
