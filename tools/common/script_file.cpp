// Script files: the device names are refused by name before anything touches them, the rest
// by what the file system says they are.
#include "tools/common/script_file.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "tools/common/texts.h"

namespace {
constexpr std::string_view kDeviceNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
constexpr std::string_view kNumberedDevices[] = {"COM", "LPT"};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

bool IsDeviceName(std::string_view path) {
    const size_t slash = path.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    // Windows drops trailing blanks of the name part: "nul .txt" is NUL too.
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    for (std::string_view device : kDeviceNames)
        if (SameLetters(name, device)) return true;
    for (std::string_view device : kNumberedDevices)
        if (name.size() == 4 && SameLetters(name.substr(0, 3), device) && name[3] >= '1' && name[3] <= '9') return true;
    return false;
}

unsigned ReadScriptFile(const std::string& path, std::string& content) {
    if (IsDeviceName(path)) return tool_text::ScriptNotAFile;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return tool_text::ScriptUnreadable;
    if (!std::filesystem::is_regular_file(status)) return tool_text::ScriptNotAFile;
    std::ifstream file(path, std::ios::binary);
    if (!file) return tool_text::ScriptUnreadable;
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) return tool_text::ScriptUnreadable;
    content = text.str();
    return tool_text::Ok;
}
