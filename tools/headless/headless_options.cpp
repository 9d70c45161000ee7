// Command line of the headless panel: the connection as the panel reads it, then its options.
#include "tools/headless/headless_options.h"

#include <cstring>

#include "link/connect_name.h"
#include "tools/common/option_args.h"
#include "tools/common/texts.h"

namespace {
constexpr int64_t kMaxTimeoutMs = 3600000;

enum OptionId { Script, Timeout, Junit, Json };
constexpr CommandOption kOptions[] = {
    {"--script", Script, true}, {"--timeout", Timeout, true}, {"--junit", Junit, true}, {"--json", Json, false}};

bool IsOneOf(const char* arg, const char* a, const char* b) {
    return std::strcmp(arg, a) == 0 || std::strcmp(arg, b) == 0;
}
}  // namespace

std::string HeadlessUsage() {
    return "usage: quorvex-headless (-l | -r NAME) --script FILE [--timeout MS] [--junit FILE] [--json]\n"
           "       quorvex-headless --help | --version\n"
           "  Connects as the panel does (devices 2..14 on this computer, or on NAME), answers the\n"
           "  identification, sends P, P, K, keeps the 20 x 40 display and plays FILE:\n"
           "    key NAME               a panel key by its legend (LINE UP, ADJUST DOWN, FAST, 7, ENTER, ...)\n"
           "    keyboard VK            a computer key: one letter or digit, a code, or a name (VK_RETURN)\n"
           "    click LINE             a click on display line 1..20\n"
           "    branch TEXT            Branch To with this text\n"
           "    expect TEXT [within MS]           TEXT shows anywhere on the screen (default 3000 ms)\n"
           "    expect-line ROW TEXT [within MS]  line ROW (1..20) shows TEXT (trailing blanks ignored)\n"
           "    expect-screen FILE [within MS]    the screen equals FILE (as quorvex-dump --screen prints\n"
           "                           it; \"mask C\" after the 20 lines: C matches any cell)\n"
           "    screen                 prints the screen\n"
           "    expect-exit [within MS]  the control sends its exit notice\n"
           "    wait MS                pauses;   # starts a comment\n"
           "  TEXT escapes: \\n \\r \\t \\xHH \\\\. Older scripts' last word of digits is still a time-out\n"
           "  (with a note); write \"within MS\" so that a text ending in a number stays text.\n"
           "  --timeout MS limits the whole run (default 60000); --junit FILE writes a JUnit XML report;\n"
           "  --json prints the result as one JSON object (the other lines go to standard error).\n"
           "  An option's value follows it or comes after '=' (--timeout=5000).\n"
           "exit status: 0 every expectation held, 1 one failed or the control went away without its exit\n"
           "  notice (the line, why and the screen are printed), 2 bad command line or script, or no\n"
           "  connection (the panel's own message is printed)\n";
}

// The connection comes first, as the panel reads it; --help and --version may stand anywhere.
CommandLineResult ParseHeadlessOptions(int argc, const char* const* argv, HeadlessOptions& o) {
    if (argc >= 2 && IsOneOf(argv[1], "-l", "-L")) o.connectionArgs = 2;
    // The panel's own name rule: a name it would not take from the command line is refused here.
    if (argc >= 3 && IsOneOf(argv[1], "-r", "-R") && connect_logic::IsComputerName(argv[2])) o.connectionArgs = 3;
    const CommandLineResult result = ReadCommandLine(
        argc, argv, o.connectionArgs ? o.connectionArgs : 1, kOptions, sizeof(kOptions) / sizeof(kOptions[0]),
        [&](int option, const std::string& value) {
            switch (option) {
                case Script:
                case Junit:
                    (option == Script ? o.scriptPath : o.junitPath) = value;
                    return value.empty() ? tool_text::MissingOptionValue : tool_text::Ok;
                case Json:
                    o.json = true;
                    return tool_text::Ok;
            }
            const int64_t ms = DecimalArg(value.c_str(), 1, kMaxTimeoutMs);
            if (ms < 0) return tool_text::BadTimeout;
            o.timeoutMs = static_cast<uint32_t>(ms);
            return tool_text::Ok;
        });
    if (result.outcome == CommandLineOutcome::Help || result.outcome == CommandLineOutcome::Version) return result;
    if (!o.connectionArgs) return RefuseCommandLine(tool_text::ConnectionNeeded, argc >= 2 ? argv[1] : "");
    if (result.outcome == CommandLineOutcome::Bad) return result;
    if (o.scriptPath.empty()) return RefuseCommandLine(tool_text::ScriptNeeded, "");
    return result;
}
