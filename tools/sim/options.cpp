// Option table and the parsing of its values.
#include "tools/sim/options.h"

#include <string>

#include "protocol/command_table.h"
#include "tools/common/option_args.h"
#include "tools/common/texts.h"

namespace {
enum OptionId { Device, Script, Replay, Speed, Timeout, AllowRemote };

constexpr CommandOption kOptions[] = {
    {"--device", Device, true}, {"--script", Script, true},   {"--replay", Replay, true},
    {"--speed", Speed, true},   {"--timeout", Timeout, true}, {"--allow-remote", AllowRemote, false},
};

constexpr int64_t kMaxTimeoutMs = 3600000;

unsigned Apply(int id, const std::string& text, SimOptions& options, bool& speedGiven) {
    const char* value = text.c_str();
    switch (id) {
        case Device: {
            int64_t n = DecimalArg(value, MinDevice, MaxDevice);
            if (n < 0) return tool_text::BadDevice;
            options.device = static_cast<int>(n);
            return tool_text::Ok;
        }
        case Script:
            options.scriptPath = value;
            return tool_text::Ok;
        case Replay:
            options.replayPath = value;
            return tool_text::Ok;
        case Speed:
            options.speedMilli = ParseSpeed(value);
            speedGiven = true;
            return options.speedMilli ? tool_text::Ok : tool_text::BadSpeed;
        case Timeout: {
            int64_t n = DecimalArg(value, 1, kMaxTimeoutMs);
            if (n < 0) return tool_text::BadTimeout;
            options.timeoutMs = static_cast<uint32_t>(n);
            return tool_text::Ok;
        }
        case AllowRemote:
            options.allowRemote = true;
            return tool_text::Ok;
    }
    return tool_text::UnknownOption;
}
}  // namespace

CommandLineResult ParseOptions(int argc, const char* const* argv, SimOptions& options) {
    bool speedGiven = false;
    const CommandLineResult result = ReadCommandLine(
        argc, argv, 1, kOptions, sizeof(kOptions) / sizeof(kOptions[0]),
        [&](int option, const std::string& value) { return Apply(option, value, options, speedGiven); });
    if (result.outcome != CommandLineOutcome::Run) return result;
    if (!options.scriptPath.empty() && !options.replayPath.empty())
        return RefuseCommandLine(tool_text::ReplayWithScript, "--replay");
    if (speedGiven && options.replayPath.empty()) return RefuseCommandLine(tool_text::SpeedWithoutReplay, "--speed");
    return result;
}

uint32_t ParseSpeed(const char* text) {
    uint64_t milli = 0;
    int decimals = -1;
    if (!*text) return 0;
    for (const char* p = text; *p; ++p) {
        if (*p == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (*p < '0' || *p > '9' || decimals == 3) return 0;
        if (decimals >= 0) ++decimals;
        milli = milli * 10 + static_cast<uint64_t>(*p - '0');
        if (milli > MaxSpeedMilli * 1000) return 0;
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 3; ++d) milli *= 10;
    return milli > MaxSpeedMilli ? 0 : static_cast<uint32_t>(milli);
}

const char* UsageText() {
    static const std::string text =
           "usage: quorvex-sim [--device N] [--script FILE | --replay CAPTURE [--speed X]] [--timeout MS]\n"
           "                  [--allow-remote]\n"
           "       quorvex-sim --help | --version\n"
           "  Offers \\\\.\\pipe\\QuorvexRead<N> and \\\\.\\pipe\\QuorvexWrite<N> (N 2..14, default 2)\n"
           "  and runs a press controller for one panel at a time.\n"
           "  The pipes refuse panels on other computers unless --allow-remote is given.\n"
           "  --script FILE    plays a test script instead; exit 0 when every expectation held,\n"
           "                   1 when one failed, 2 for a bad command line, script or pipe\n"
           "  --replay CAPTURE plays the control's side of a quorvex-tap capture to one panel with the\n"
           "                   recorded timing, answering nothing, then keeps the pipes until the panel\n"
           "                   closes; exit 0 played to the end, 1 the panel left or the time ran out\n"
           "                   first, 2 for a bad command line, capture or pipe\n"
           "  --speed X        replay X times as fast (0.001 to 1000, default 1)\n"
           "  --timeout MS     script: limit for the whole run (default 60000);\n"
           "                   controller and replay: end after MS (default: no limit)\n"
           "  --allow-remote   also accepts panels on other computers\n"
           "  An option's value follows it as the next argument or after '=' (--device=3).\n"
           "script lines:  send TEXT | expect TEXT [within MS] | wait MS | close | expect-closed [within MS]\n"
           "               | # comment\n"
           "  TEXT escapes: \\n \\r \\t \\xHH \\\\ and \\@ROW,COL for a cursor address;\n"
           "  an expectation waits up to 3000 ms unless \"within MS\" says otherwise (expect " +
           commands::GreetingBytes() +
           " within 15000).\n"
           "  Older scripts' last word of digits is still a time-out (with a note); write \"within MS\" so\n"
           "  that a text ending in a number stays text.\n";
    return text.c_str();
}
