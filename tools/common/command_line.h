// Command lines of the tools: options from a table, given as "--name value" or "--name=value",
// arguments that are not options, and --help and --version, which every tool knows.
#pragma once
#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>

struct CommandOption {
    const char* name;
    int id;  // the tool's own option id
    bool takesValue;
};

enum class CommandLineOutcome { Run, Help, Version, Bad };

struct CommandLineResult {
    CommandLineOutcome outcome = CommandLineOutcome::Run;
    unsigned id = 0;       // with Bad: the text id of the reason
    std::string argument;  // with Bad: the refused argument as given (with its value)
};

// Returns 0 or a text id for an option's value ("" for an option without one).
using ApplyOption = std::function<unsigned(int id, const std::string& value)>;
// Returns 0 or a text id for an argument that is not an option ("-" and anything after "--").
using ApplyOperand = std::function<unsigned(const std::string& argument)>;

// Reads argv[first..argc-1] in order; the first --help, --version or refused argument ends the
// reading. Without `operand`, an argument that is not an option is refused.
CommandLineResult ReadCommandLine(int argc, const char* const* argv, int first, const CommandOption* options,
                                  size_t count, const ApplyOption& apply, const ApplyOperand& operand = nullptr);

// A bad command line refused for a check across options.
CommandLineResult RefuseCommandLine(unsigned id, const std::string& argument);

// What the tool says for the outcome: the usage on `out` (Help), "TOOL VERSION" on `out`
// (Version), or the refused argument, why, and where help is on `err` (Bad). Returns the exit
// status (0, or 2 for Bad), or -1 for Run: the tool goes on.
int AnswerCommandLine(const CommandLineResult& result, const char* tool, const std::string& usage, std::FILE* out,
                      std::FILE* err);
