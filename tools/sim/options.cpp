// Option table and the parsing of its values.
#include "tools/sim/options.h"

#include <cstring>

#include "tools/common/texts.h"

namespace {
enum class OptionId { Device, Script, Timeout, Help };

struct OptionDef {
    const char* name;
    OptionId id;
    bool takesValue;
};
constexpr OptionDef kOptions[] = {
    {"--device", OptionId::Device, true},
    {"--script", OptionId::Script, true},
    {"--timeout", OptionId::Timeout, true},
    {"--help", OptionId::Help, false},
    {"-h", OptionId::Help, false},
};

constexpr uint64_t kMaxTimeoutMs = 3600000;

// A decimal number from `low` to `high`, or -1.
int64_t Number(const char* text, int64_t low, int64_t high) {
    int64_t value = 0;
    if (*text == '\0') return -1;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return -1;
        value = value * 10 + (*p - '0');
        if (value > high) return -1;
    }
    return value < low ? -1 : value;
}

unsigned Apply(OptionId id, const char* value, SimOptions& options) {
    switch (id) {
        case OptionId::Device: {
            int64_t n = Number(value, MinDevice, MaxDevice);
            if (n < 0) return tool_text::BadDevice;
            options.device = static_cast<int>(n);
            return tool_text::Ok;
        }
        case OptionId::Script:
            options.scriptPath = value;
            return tool_text::Ok;
        case OptionId::Timeout: {
            int64_t n = Number(value, 1, kMaxTimeoutMs);
            if (n < 0) return tool_text::BadTimeout;
            options.timeoutMs = static_cast<uint32_t>(n);
            return tool_text::Ok;
        }
        case OptionId::Help:
            options.help = true;
            return tool_text::Ok;
    }
    return tool_text::UnknownOption;
}
}  // namespace

unsigned ParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& detail) {
    for (int i = 1; i < argc; ++i) {
        const OptionDef* found = nullptr;
        for (const OptionDef& def : kOptions) {
            if (std::strcmp(argv[i], def.name) == 0) found = &def;
        }
        detail = argv[i];
        if (!found) return tool_text::UnknownOption;
        const char* value = "";
        if (found->takesValue) {
            if (i + 1 >= argc) return tool_text::MissingOptionValue;
            value = argv[++i];
            detail += std::string(" ") + value;
        }
        unsigned id = Apply(found->id, value, options);
        if (id != tool_text::Ok) return id;
    }
    detail.clear();
    return tool_text::Ok;
}

const char* UsageText() {
    return "usage: quorvex-sim [--device N] [--script FILE] [--timeout MS]\n"
           "  Offers \\\\.\\pipe\\QuorvexRead<N> and \\\\.\\pipe\\QuorvexWrite<N> (N 2..14, default 2)\n"
           "  and runs a press controller for one panel at a time.\n"
           "  --script FILE  plays a test script instead; exit 0 when every expectation held,\n"
           "                 1 when one failed, 2 for a bad command line, script or pipe\n"
           "  --timeout MS   script: limit for the whole run (default 60000);\n"
           "                 controller: end after MS (default: run until shut down)\n"
           "script lines:  send TEXT | expect TEXT [MS] | wait MS | close | expect-closed [MS] | # comment\n"
           "  TEXT escapes: \\n \\r \\t \\xHH \\\\ and \\@ROW,COL for a cursor address;\n"
           "  a last word of digits on an expect line is its time-out (default 3000 ms)\n";
}
