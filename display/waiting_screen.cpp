// The waiting screen's lines.
#include "display/waiting_screen.h"

#include <cstring>

namespace waiting_screen {
namespace {
void Centre(const char* text, char (&line)[screen::Columns + 1]) {
    if (!text) return;
    const size_t length = strnlen(text, screen::Columns);
    const size_t start = (screen::Columns - length) / 2;
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // As the display would store it: nothing but printable characters.
        line[start + i] = c >= 0x20 && c <= 0x7E ? static_cast<char>(c) : ' ';
    }
}
}  // namespace

void Compose(const char* first, const char* second, char (&out)[screen::Lines][screen::Columns + 1]) {
    for (auto& line : out) {
        std::memset(line, ' ', screen::Columns);
        line[screen::Columns] = '\0';
    }
    Centre(first, out[FirstRow]);
    Centre(second, out[FirstRow + 1]);
}
}  // namespace waiting_screen
