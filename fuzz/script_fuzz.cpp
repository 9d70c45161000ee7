// libFuzzer target: an arbitrary file as a script of the simulator and of the headless panel,
// and as a screen file. Parsing ends with steps of lines in order and values in their ranges,
// or with an error naming a line of the file; byte texts survive their readable form.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "keypad/key_table.h"
#include "tools/common/escapes.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_script.h"
#include "tools/sim/script.h"

namespace {
int Lines(std::string_view text) {
    int n = 0;
    for (size_t at = 0; at < text.size(); ++n) {
        const size_t end = text.find('\n', at);
        at = end == std::string_view::npos ? text.size() : end + 1;
    }
    return n;
}

void CheckError(unsigned id, const ScriptError& error, int lines) {
    Check(id < tool_text::Count, "unknown text id");
    Check(error.id == id, "error id differs from the result");
    Check(error.line >= 1 && error.line <= lines, "error outside the file's lines");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int lines = Lines(text);

    std::vector<ScriptStep> steps;
    ScriptError error;
    unsigned id = ParseScript(text, steps, error);
    if (id != 0) {
        CheckError(id, error, lines);
    } else {
        int last = 0;
        for (const ScriptStep& s : steps) {
            Check(s.line > last && s.line <= lines, "simulator steps out of line order");
            last = s.line;
            Check(s.timeoutMs <= MaxScriptMs, "time-out above the limit");
            std::string back;
            Check(DecodeEscapes(ShowBytes(s.bytes), back) == 0 && back == s.bytes, "bytes lost in their readable form");
        }
    }

    // The input also serves as every screen file the script names.
    std::vector<HeadlessStep> headless;
    id = ParseHeadlessScript(
        text,
        [&](const std::string& name, std::string& content) {
            content = std::string(text);
            return !name.empty() && name[0] != '!';
        },
        headless, error);
    if (id != 0) {
        CheckError(id, error, lines);
        Check(headless.empty(), "steps left after an error");
        return 0;
    }
    int last = 0;
    for (const HeadlessStep& s : headless) {
        Check(s.line > last && s.line <= lines, "headless steps out of line order");
        last = s.line;
        switch (s.kind) {
            case HeadlessKind::Key:
                Check(KeyTable::IsKey(s.value), "key outside the key table");
                break;
            case HeadlessKind::Keyboard:
                Check(s.value >= 0 && s.value <= 255, "virtual key outside 0..255");
                break;
            case HeadlessKind::Click:
            case HeadlessKind::ExpectLine:
                Check(s.value >= 1 && s.value <= ScreenRows, "line outside 1..20");
                break;
            case HeadlessKind::Branch:
                Check(s.text.size() <= 32, "Branch To text above 32 characters");
                break;
            case HeadlessKind::ExpectScreen:
                for (const std::string& line : s.screen.lines)
                    Check(line.size() <= static_cast<size_t>(ScreenColumns), "screen line above 40 characters");
                Check(!s.screen.checkCursor || (s.screen.row < ScreenRows && s.screen.column < ScreenColumns),
                      "cursor outside the display");
                break;
            default:
                break;
        }
    }
    return 0;
}
