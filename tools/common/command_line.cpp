// Option reading shared by the tools, and their answers to --help, --version and bad arguments.
#include "tools/common/command_line.h"

#include <cstring>

#include "tools/common/texts.h"

namespace {
constexpr int kExitOk = 0;
constexpr int kExitBadCommandLine = 2;
constexpr int kGoOn = -1;

const CommandOption* FindOption(const std::string& name, const CommandOption* options, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (name == options[i].name) return &options[i];
    return nullptr;
}

bool LooksLikeOption(const char* arg) {
    return arg[0] == '-' && arg[1] != '\0';
}
}  // namespace

CommandLineResult RefuseCommandLine(unsigned id, const std::string& argument) {
    return {CommandLineOutcome::Bad, id, argument};
}

CommandLineResult ReadCommandLine(int argc, const char* const* argv, int first, const CommandOption* options,
                                  size_t count, const ApplyOption& apply, const ApplyOperand& operand) {
    bool operandsOnly = false;
    for (int i = first; i < argc; ++i) {
        const char* arg = argv[i];
        if (operandsOnly || !LooksLikeOption(arg)) {
            if (!operand) return RefuseCommandLine(tool_text::ExtraArgument, arg);
            const unsigned id = operand(arg);
            if (id != tool_text::Ok) return RefuseCommandLine(id, arg);
            continue;
        }
        if (std::strcmp(arg, "--") == 0) {
            operandsOnly = true;
            continue;
        }
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) return {CommandLineOutcome::Help, 0, ""};
        if (std::strcmp(arg, "--version") == 0) return {CommandLineOutcome::Version, 0, ""};
        // "--name=value" joins a value to a long option; a short option never takes one that way.
        std::string name = arg;
        const char* equals = arg[1] == '-' ? std::strchr(arg, '=') : nullptr;
        if (equals) name.assign(arg, equals);
        const CommandOption* option = FindOption(name, options, count);
        if (!option) return RefuseCommandLine(tool_text::UnknownOption, name);
        std::string given = arg;
        std::string value;
        if (equals) {
            if (!option->takesValue) return RefuseCommandLine(tool_text::OptionTakesNoValue, given);
            value = equals + 1;
        } else if (option->takesValue) {
            if (i + 1 >= argc) return RefuseCommandLine(tool_text::MissingOptionValue, given);
            value = argv[++i];
            given += " " + value;
        }
        const unsigned id = apply(option->id, value);
        if (id != tool_text::Ok) return RefuseCommandLine(id, given);
    }
    return {};
}

int AnswerCommandLine(const CommandLineResult& result, const char* tool, const std::string& usage, std::FILE* out,
                      std::FILE* err) {
    switch (result.outcome) {
        case CommandLineOutcome::Run:
            return kGoOn;
        case CommandLineOutcome::Help:
            std::fputs(usage.c_str(), out);
            std::fflush(out);
            return kExitOk;
        case CommandLineOutcome::Version:
            std::fprintf(out, "%s %s\n", tool, QUORVEX_VERSION);
            std::fflush(out);
            return kExitOk;
        case CommandLineOutcome::Bad:
            break;
    }
    const std::string usageLine = usage.substr(0, usage.find('\n'));
    if (result.argument.empty()) {
        std::fprintf(err, "%s: %s\n", tool, tool_text::Text(result.id));
    } else {
        std::fprintf(err, "%s: %s: %s\n", tool, result.argument.c_str(), tool_text::Text(result.id));
    }
    std::fprintf(err, "%s\n%s --help shows more\n", usageLine.c_str(), tool);
    std::fflush(err);
    return kExitBadCommandLine;
}
