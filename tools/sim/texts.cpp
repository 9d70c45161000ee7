// The table of message texts, indexed by text id.
#include "tools/sim/texts.h"

namespace sim_text {
namespace {
constexpr const char* kTexts[] = {
    "ok",
    "unknown escape (use \\n \\r \\t \\xHH \\\\ or \\@ROW,COL)",
    "\\x needs two hex digits",
    "\\@ needs ROW,COL in decimal",
    "cursor address out of range (row 0..63, column 0..127)",
    "lone backslash at the end of the text",
    "unknown command (send, expect, wait, close, expect-closed)",
    "no bytes given",
    "a number of milliseconds is needed",
    "not a number of milliseconds",
    "number too large (at most 3600000 ms)",
    "this command takes no argument",
    "unknown option",
    "option needs a value",
    "device must be a number from 2 to 14",
    "time-out must be a number of milliseconds from 1 to 3600000",
    "cannot read the script file",
    "the pipe is in use (is another simulator serving this device?)",
    "cannot create the pipe",
};
static_assert(sizeof(kTexts) / sizeof(kTexts[0]) == Count, "one text per id");
}  // namespace

const char* Text(unsigned id) {
    return id < Count ? kTexts[id] : "unknown error";
}
}  // namespace sim_text
