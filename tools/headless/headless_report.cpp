// JUnit and JSON forms of a headless run. Texts first become printable ASCII (other bytes as
// \xHH), then get the escapes of XML or JSON: what remains is valid in both without an encoding.
#include "tools/headless/headless_report.h"

#include <cstdio>

#include "tools/common/escapes.h"

namespace {
constexpr const char* kSuite = "quorvex-headless";

const char* OutcomeName(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Passed:
            return "passed";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Error:
            break;
    }
    return "error";
}

std::string Seconds(uint64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%llu.%03llu", static_cast<unsigned long long>(ms / 1000),
                  static_cast<unsigned long long>(ms % 1000));
    return text;
}

// The script's file name without its folders: the test case's name.
std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}
}  // namespace

std::string XmlEscaped(const std::string& text, bool attribute) {
    std::string out;
    for (char c : PrintableText(text)) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '\n': out += attribute ? "&#10;" : "\n"; break;
            default: out += c;
        }
    }
    return out;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : PrintableText(text)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

std::string JunitXml(const RunReport& r) {
    const bool failed = r.outcome == RunOutcome::Failed;
    const bool error = r.outcome == RunOutcome::Error;
    const std::string time = Seconds(r.timeMs);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites tests=\"1\" failures=\"" + std::to_string(failed) + "\" errors=\"" + std::to_string(error) +
           "\" time=\"" + time + "\">\n";
    xml += "  <testsuite name=\"" + std::string(kSuite) + "\" tests=\"1\" failures=\"" + std::to_string(failed) +
           "\" errors=\"" + std::to_string(error) + "\" skipped=\"0\" time=\"" + time + "\">\n";
    xml += "    <testcase classname=\"" + std::string(kSuite) + "\" name=\"" + XmlEscaped(BaseName(r.script), true) +
           "\" file=\"" + XmlEscaped(r.script, true) + "\" time=\"" + time + "\">\n";
    if (failed || error) {
        // The element's text keeps its line breaks: the screen reads as it showed.
        std::string body = failed ? r.expectation + "\n" + r.message + "\n" : r.message + "\n";
        if (r.hasScreen) body += "screen:\n" + FormatScreen(r.screen);
        const char* element = failed ? "failure" : "error";
        const std::string summary = failed ? r.message : r.message.substr(0, r.message.find('\n'));
        xml += std::string("      <") + element + " message=\"" + XmlEscaped(summary, true) + "\" type=\"" +
               (failed ? "expectation" : "setup") + "\">" + XmlEscaped(body, false) + "</" + element + ">\n";
    }
    std::string out = Joined(r.log);
    if (!r.connection.empty()) out = "connected: " + r.connection + "\n" + out;
    if (!out.empty()) xml += "      <system-out>" + XmlEscaped(out, false) + "</system-out>\n";
    xml += "    </testcase>\n  </testsuite>\n</testsuites>\n";
    return xml;
}

std::string JsonObject(const RunReport& r) {
    std::string json = "{\"script\":" + JsonString(r.script) + ",\"result\":\"" + OutcomeName(r.outcome) +
                       "\",\"exit\":" + std::to_string(r.exitStatus) + ",\"steps\":" + std::to_string(r.steps) +
                       ",\"timeMs\":" + std::to_string(r.timeMs) + ",\"connection\":" + JsonString(r.connection);
    if (r.outcome == RunOutcome::Failed)
        json += ",\"line\":" + std::to_string(r.line) + ",\"expectation\":" + JsonString(r.expectation);
    json += ",\"message\":" + JsonString(r.message);
    if (r.hasScreen) {
        json += ",\"screen\":[";
        for (int i = 0; i < screen::Lines; ++i) json += (i ? "," : "") + JsonString(r.screen.lines[i]);
        json += "],\"cursor\":[" + std::to_string(r.screen.row) + "," + std::to_string(r.screen.column) + "]";
    }
    json += ",\"log\":[";
    for (size_t i = 0; i < r.log.size(); ++i) json += (i ? "," : "") + JsonString(r.log[i]);
    return json + "]}\n";
}
