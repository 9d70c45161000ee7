// The simulator's script commands, read with the tools' shared line syntax.
#include "tools/sim/script.h"

#include "tools/common/texts.h"

namespace {
constexpr ScriptCommand kCommands[] = {
    {"send", static_cast<int>(StepKind::Send), ArgForm::Bytes},
    {"expect", static_cast<int>(StepKind::Expect), ArgForm::BytesThenOptionalMs},
    {"wait", static_cast<int>(StepKind::Wait), ArgForm::Ms},
    {"close", static_cast<int>(StepKind::Close), ArgForm::None},
    {"expect-closed", static_cast<int>(StepKind::ExpectClosed), ArgForm::OptionalMs},
};
constexpr size_t kCommandCount = sizeof(kCommands) / sizeof(kCommands[0]);
}  // namespace

const char* StepName(StepKind kind) {
    for (const ScriptCommand& c : kCommands) {
        if (c.kind == static_cast<int>(kind)) return c.name;
    }
    return "?";
}

unsigned ParseScript(std::string_view text, std::vector<ScriptStep>& steps, ScriptReport& report) {
    steps.clear();
    std::vector<ScriptLine> lines;
    unsigned id = ParseScriptLines(text, kCommands, kCommandCount, lines, report);
    if (id != tool_text::Ok) return id;
    for (ScriptLine& line : lines)
        steps.push_back({static_cast<StepKind>(line.kind), std::move(line.text), line.timeoutMs, line.line});
    return tool_text::Ok;
}
