// libFuzzer target: an arbitrary file as a script of the simulator and of the headless panel,
// as a screen file, and as every text of a headless report. Parsing ends with steps of lines in
// order and values in their ranges, or with errors naming lines of the file in order; byte texts
// survive their readable form; the JUnit and JSON forms hold only printable ASCII and read back.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "protocol/key_table.h"
#include "tools/common/escapes.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_report.h"
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

void CheckErrors(unsigned id, const ScriptReport& report, int lines) {
    Check(!report.errors.empty() && report.errors.front().id == id, "first error differs from the result");
    int last = 0;
    for (const ScriptError& e : report.errors) {
        Check(e.id > 0 && e.id < tool_text::Count, "unknown text id");
        Check(e.line >= last && e.line <= lines, "errors outside the file's lines or out of order");
        Check(e.line > 0 || e.id == tool_text::EmptyScript, "an error of no line other than the empty script");
        Check(e.detail.size() <= MaxDetail + 3 || e.id == tool_text::ScreenLineTooLong ||
                  e.id == tool_text::ScreenBadShape || e.id == tool_text::ScreenUnreadable,
              "a detail longer than its cut");
        last = e.line;
    }
}

// The escaped text read back: XML entities and JSON escapes undone give the printable form.
std::string XmlBack(const std::string& xml) {
    static const std::pair<std::string, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&#10;", '\n'}};
    std::string out;
    for (size_t i = 0; i < xml.size();) {
        bool entity = false;
        for (const auto& e : kEntities) {
            if (xml.compare(i, e.first.size(), e.first) == 0) {
                out += e.second;
                i += e.first.size();
                entity = true;
                break;
            }
        }
        if (entity) continue;
        Check(xml[i] != '&' && xml[i] != '<' && xml[i] != '"', "an XML special character left raw");
        out += xml[i++];
    }
    return out;
}

std::string JsonBack(const std::string& json) {
    Check(json.size() >= 2 && json.front() == '"' && json.back() == '"', "a JSON string without its quotes");
    std::string out;
    for (size_t i = 1; i + 1 < json.size(); ++i) {
        if (json[i] == '\\') {
            Check(i + 2 < json.size(), "a JSON escape at the end");
            const char c = json[++i];
            Check(c == '"' || c == '\\' || c == 'n', "an unknown JSON escape");
            out += c == 'n' ? '\n' : c;
        } else {
            Check(json[i] != '"', "a raw quote inside a JSON string");
            out += json[i];
        }
    }
    return out;
}

void CheckReports(const std::string& text) {
    const std::string printable = PrintableText(text);
    for (char c : printable) Check((c >= 0x20 && c <= 0x7E) || c == '\n', "a byte outside printable ASCII");
    Check(XmlBack(XmlEscaped(text, true)) == printable, "XML attribute text lost");
    Check(XmlBack(XmlEscaped(text, false)) == printable, "XML element text lost");
    Check(JsonBack(JsonString(text)) == printable, "JSON text lost");
    RunReport report;
    report.script = text;
    report.outcome = RunOutcome::Failed;
    report.message = text;
    report.expectation = text;
    report.hasScreen = true;
    for (std::string& line : report.screen.lines) line = text.substr(0, screen::Columns);
    report.log = {text, text};
    for (const std::string& out : {JunitXml(report), JsonObject(report)})
        for (char c : out) Check((c >= 0x20 && c <= 0x7E) || c == '\n', "a report byte outside printable ASCII");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int lines = Lines(text);

    std::vector<ScriptStep> steps;
    ScriptReport report;
    unsigned id = ParseScript(text, steps, report);
    if (id != 0) {
        CheckErrors(id, report, lines);
        Check(steps.empty(), "simulator steps left after an error");
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
        headless, report);
    CheckReports(std::string(text.substr(0, 4096)));
    if (id != 0) {
        CheckErrors(id, report, lines);
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
                Check(s.value >= 1 && s.value <= screen::Lines, "line outside 1..20");
                Check(s.text.size() <= static_cast<size_t>(screen::Columns), "expected line longer than a line");
                break;
            case HeadlessKind::Branch:
                Check(s.text.size() <= 32, "Branch To text above 32 characters");
                break;
            case HeadlessKind::Expect:
                Check(s.text.size() <= MaxExpectText, "expected text longer than the screen");
                break;
            case HeadlessKind::ExpectScreen:
                for (const std::string& line : s.screen.lines)
                    Check(line.size() <= static_cast<size_t>(screen::Columns), "screen line above 40 characters");
                Check(!s.screen.checkCursor || (s.screen.row < screen::Lines && s.screen.column <= MaxCursorColumn),
                      "cursor outside the display");
                Check(s.screen.mask == 0 || (s.screen.mask > ' ' && s.screen.mask <= '~'), "a mask that is no character");
                break;
            default:
                break;
        }
    }
    return 0;
}
