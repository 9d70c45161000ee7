// String-table texts through the services when present, straight from the module otherwise.
#include "link/link_text_win.h"

#include <windows.h>

#include <cstring>

#include "support/app_services_win.h"

namespace link_text {

const char* Load(unsigned textId, char* buffer, int capacity) {
    if (!buffer || capacity <= 0) return "";
    buffer[0] = '\0';
    if (AppServices* services = g_appServices) {
        const char* text = services->LoadText(textId);
        if (text) {
            std::strncpy(buffer, text, static_cast<size_t>(capacity) - 1);
            buffer[capacity - 1] = '\0';
            return buffer;
        }
    }
    LoadStringA(GetModuleHandleA(nullptr), textId, buffer, capacity);
    return buffer;
}

}  // namespace link_text
