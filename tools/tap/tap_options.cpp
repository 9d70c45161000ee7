// Option table of the tap and the checks across options.
#include "tools/tap/tap_options.h"

#include "tools/common/option_args.h"
#include "tools/common/texts.h"

namespace {
enum OptionId { Listen, Control, Capture, Force, AllowRemote };

constexpr CommandOption kOptions[] = {
    {"--listen", Listen, true},
    {"--control", Control, true},
    {"--capture", Capture, true},
    {"--force", Force, false},
    {"--allow-remote", AllowRemote, false},
};
constexpr int kMinDevice = 2;
constexpr int kMaxDevice = 14;

unsigned Apply(int id, const std::string& text, TapOptions& options) {
    const char* value = text.c_str();
    switch (id) {
        case Listen:
        case Control: {
            const int64_t n = DecimalArg(value, kMinDevice, kMaxDevice);
            if (n < 0) return tool_text::BadDevice;
            (id == Listen ? options.listen : options.control) = static_cast<int>(n);
            return tool_text::Ok;
        }
        case Capture:
            options.capturePath = value;
            return *value ? tool_text::Ok : tool_text::MissingOptionValue;
        case Force:
            options.overwrite = true;
            return tool_text::Ok;
        case AllowRemote:
            options.allowRemote = true;
            return tool_text::Ok;
    }
    return tool_text::UnknownOption;
}
}  // namespace

CommandLineResult ParseTapOptions(int argc, const char* const* argv, TapOptions& options) {
    const CommandLineResult result =
        ReadCommandLine(argc, argv, 1, kOptions, sizeof(kOptions) / sizeof(kOptions[0]),
                        [&](int option, const std::string& value) { return Apply(option, value, options); });
    if (result.outcome != CommandLineOutcome::Run) return result;
    if (!options.listen || !options.control)
        return RefuseCommandLine(tool_text::TapDevicesMissing, !options.listen ? "--listen" : "--control");
    if (options.listen == options.control)
        return RefuseCommandLine(tool_text::TapSameDevice, "--listen " + std::to_string(options.listen));
    return result;
}

const char* TapUsage() {
    return "usage: quorvex-tap --listen N --control M [--capture FILE|-] [--force] [--allow-remote]\n"
           "       quorvex-tap --help | --version\n"
           "  Offers the pipes of device N to the panel (N and M 2..14) and, once a panel has opened\n"
           "  them, opens the control application's pipes of device M; forwards both directions\n"
           "  unchanged and records them in FILE (pcapng, link type USER0; quorvex-dump, tshark and\n"
           "  Wireshark read it). Losing either side ends both. Until a panel comes the control is only\n"
           "  watched: it sees no client, and if its pipes go away the tap ends (status 2).\n"
           "  FILE is made once both sides are there. An existing FILE is left as it is and the tap\n"
           "  stops, unless --force: then it is overwritten once a panel has come.\n"
           "  --capture - writes the capture to standard output block by block (messages then go to\n"
           "  standard error), e.g. quorvex-tap ... --capture - | tshark -i - to watch a session live.\n"
           "  Forwarding never waits for the capture's reader; up to 64 MiB wait for it, and at the end\n"
           "  the rest is written while it reads (given up after 30 s without a read: status 1).\n"
           "  Start the control first, then the tap, then the panel (quorvex.exe -l takes the lowest\n"
           "  device offered: give the tap a lower N than the control's M).\n"
           "  The pipes of device N refuse panels on other computers unless --allow-remote is given.\n"
           "exit status: 0 the session ended (a side closed, or Ctrl+C), 1 the capture could not be\n"
           "  written completely, 2 bad command line, no control on device M (or it left before a\n"
           "  panel came), pipes or file not created (also an existing FILE without --force)\n";
}
