// String-table texts for the link's Win32 side, with or without the application services.
#pragma once

namespace link_text {
// Copies text textId into buffer (capacity bytes, always terminated) and returns buffer; the
// services' text when they exist, else the module's own string table, else "".
const char* Load(unsigned textId, char* buffer, int capacity);
}  // namespace link_text
