// quorvex-headless.exe: plays the panel for a control application, without a window, and runs a
// test script against it: exit 0 when every expectation held, 1 when one did not, 2 when the
// command line, the script or the connection is bad.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/system_dll_win.h"
#include "tools/common/console_lines_win.h"
#include "tools/common/escapes.h"
#include "tools/common/script_file.h"
#include "tools/common/texts.h"
#include "tools/headless/headless_link_win.h"
#include "tools/headless/headless_options.h"
#include "tools/headless/headless_report.h"
#include "tools/headless/headless_runner.h"
#include "tools/headless/headless_script.h"

namespace {
constexpr int kPassed = 0;
constexpr int kFailed = 1;
constexpr int kBadSetup = 2;
// A binary file is all errors: the first ones tell enough.
constexpr size_t kMaxErrorsShown = 20;

// Screen files are named relative to the script's folder unless the name is absolute.
std::string BesideScript(const std::string& scriptPath, const std::string& name) {
    const bool absolute = (!name.empty() && (name[0] == '\\' || name[0] == '/')) || (name.size() > 1 && name[1] == ':');
    const size_t slash = scriptPath.find_last_of("\\/");
    return absolute || slash == std::string::npos ? name : scriptPath.substr(0, slash + 1) + name;
}

std::string Problem(const std::string& script, const ScriptError& e) {
    return PrintableText(script) + (e.line ? " line " + std::to_string(e.line) : std::string()) + ": " +
           tool_text::Text(e.id) + (e.detail.empty() ? "" : ": " + PrintableText(e.detail));
}

// One run: its console lines (on standard error when standard output carries the JSON) and
// the report that --junit and --json write at the end.
class Run {
public:
    explicit Run(const HeadlessOptions& options) : options_(options), startMs_(GetTickCount64()) {
        report_.script = options.scriptPath;
    }

    void Log(const std::string& line) {
        report_.log.push_back(line);
        Note(line);
    }
    void Note(const std::string& line) const { options_.json ? Complain(line) : Say(line); }
    void Print(const std::string& text) const {
        std::FILE* stream = options_.json ? stderr : stdout;
        std::fputs(text.c_str(), stream);
        std::fflush(stream);
    }
    RunReport& Report() { return report_; }

    int Finish(RunOutcome outcome, int status) {
        report_.outcome = outcome;
        report_.exitStatus = status;
        report_.timeMs = GetTickCount64() - startMs_;
        if (!options_.junitPath.empty()) {
            std::ofstream file(options_.junitPath, std::ios::binary);
            file << JunitXml(report_);
            if (!file.flush()) {
                Complain(PrintableText(options_.junitPath) + ": " + tool_text::Text(tool_text::ReportWriteFailed));
                status = kBadSetup;
            }
        }
        if (options_.json) {
            std::fputs(JsonObject(report_).c_str(), stdout);
            std::fflush(stdout);
        }
        return status;
    }

    int FailSetup(const std::string& message) {
        Complain(message);
        report_.message = message;
        return Finish(RunOutcome::Error, kBadSetup);
    }

private:
    const HeadlessOptions& options_;
    RunReport report_;
    const uint64_t startMs_;
};
}  // namespace

int main(int argc, char** argv) {
    system_dll::RestrictSearchPath();
    HeadlessOptions options;
    const int answered =
        AnswerCommandLine(ParseHeadlessOptions(argc, argv, options), "quorvex-headless", HeadlessUsage(), stdout, stderr);
    if (answered >= 0) return answered;
    Run run(options);
    const std::string& script = options.scriptPath;
    std::string text;
    const unsigned read = ReadScriptFile(script, text);
    if (read != tool_text::Ok) return run.FailSetup(Problem(script, {0, read, ""}));
    std::vector<HeadlessStep> steps;
    ScriptReport parsed;
    const auto readScreen = [&](const std::string& name, std::string& content) {
        return ReadScriptFile(BesideScript(script, name), content) == tool_text::Ok;
    };
    ParseHeadlessScript(text, readScreen, steps, parsed);
    for (const ScriptError& note : parsed.notes) Complain(Problem(script, note) + " (note)");
    if (!parsed.errors.empty()) {
        std::string all;
        for (size_t i = 0; i < parsed.errors.size() && i < kMaxErrorsShown; ++i)
            all += (i ? "\n" : "") + Problem(script, parsed.errors[i]);
        if (parsed.errors.size() > kMaxErrorsShown)
            all += "\n" + PrintableText(script) + ": " + std::to_string(parsed.errors.size() - kMaxErrorsShown) +
                   " more errors";
        return run.FailSetup(all);
    }
    run.Report().steps = steps.size();

    HeadlessLink link;
    std::string failure;
    if (link.Connect(options.connectionArgs, argv, &failure) != 0) return run.FailSetup("connect: " + failure);
    run.Report().connection = link.Connection();
    run.Note("connected: " + link.Connection() + "; script " + PrintableText(script) + ": " +
             std::to_string(steps.size()) + (steps.size() == 1 ? " step" : " steps"));
    // The link sent the greeting as it connected.
    HeadlessRunner runner(
        link, [&](const std::string& line) { run.Log(line); }, [&](const std::string& screen) { run.Print(screen); });
    const HeadlessResult result = runner.Run(steps, options.timeoutMs);
    RunReport& report = run.Report();
    report.screen = link.Screen();
    report.hasScreen = true;
    link.Close();
    report.message = result.message;
    if (result.passed) {
        run.Note(result.message);
        return run.Finish(RunOutcome::Passed, kPassed);
    }
    report.line = result.line;
    report.expectation = result.expectation;
    Complain("FAILED " + PrintableText(script) + " " + result.message);
    std::fputs(("screen:\n" + FormatScreen(report.screen)).c_str(), stderr);
    return run.Finish(RunOutcome::Failed, kFailed);
}
