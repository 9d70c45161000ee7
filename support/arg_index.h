// The command-line index check: argument 0 is the program itself.
#pragma once

constexpr bool ArgIndexValid(int index, int count) { return index >= 0 && index < count; }
