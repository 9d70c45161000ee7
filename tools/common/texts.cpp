// The table of message texts, indexed by text id.
#include "tools/common/texts.h"

#include <string>

#include "protocol/command_table.h"
#include "protocol/key_table.h"

namespace tool_text {
namespace {
constexpr const char* kTexts[] = {
    "ok",
    "unknown escape (use \\n \\r \\t \\xHH \\\\ or \\@ROW,COL)",
    "\\x needs two hex digits",
    "\\@ needs ROW,COL in decimal",
    "cursor address out of range (row 0..63, column 0..127)",
    "lone backslash at the end of the text",
    "unknown command (see --help for the script commands)",
    "no text given",
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
    "not a pcapng capture (no section header block here)",
    "impossible block length (the file is damaged)",
    "unsupported format version",
    "the link type is not USER0 (147), so this is not a Quorvex session capture",
    "packet of an interface that was not described",
    "packet longer than its block",
    "option runs past the end of its block",
    "packet without a direction (inbound or outbound flag)",
    "unsupported time resolution",
    "time stamp out of range",
    "the file ends inside a block (cut off); the whole blocks before it are used",
    "the file ends inside its header: a capture with nothing in it",
    "impossible packet length (the file is damaged)",
    "seconds must be a number such as 12 or 0.25, with at most six decimals",
    "--json, --screen, --at and --raw exclude each other",
    "speed must be a number from 0.001 to 1000 with at most three decimals (1: as recorded)",
    "--script and --replay exclude each other",
    "--speed goes with --replay",
    "both --listen N and --control M are needed",
    "the panel and the control need different device numbers",
    "cannot create the capture file",
    "the file exists and was left as it is (--force overwrites it)",
    "the capture file could not be written",
    "the capture's reader fell behind (more than 64 MiB waiting, or nothing taken for 30 s): the capture is "
    "incomplete",
    "cannot open the control application's pipes",
    "the control application closed its pipes",
    "the control application's pipes went away before a panel connected",
    "the panel closed its pipes",
    "interrupted",
    "no key has this legend",  // the legends follow, from the key table
    "not a computer key: give one letter or digit, a code of two or more digits up to 255, or a name such as "
    "VK_RETURN",
    "line must be from 1 to 20",
    "Branch To takes at most 32 characters",
    "Branch To takes no control characters (bytes 0x00 to 0x1F and 0x7F: a line feed would end the command)",
    "cannot read the screen file",
    "a screen line has at most 40 characters",
    "a screen file has 20 lines, then may add \"cursor line LINE column COLUMN\" (line 1..20, column 1..128) and "
    "\"mask C\" (C: a character that matches any cell), once each",
    "the screen file ends before its 20th line: a screen file has 20 lines (empty ones for blank lines) before "
    "its cursor and mask lines",
    "a cursor or mask line where one of the screen's 20 lines belongs: the 20 lines come first",
    "the cursor line is in the older form, numbered from 0 (row 0..19, column 0..127), and read so; the tools "
    "now write \"cursor line LINE column COLUMN\", numbered from 1",
    "the first argument must be -l or -r NAME (a host name of at most 32 characters or an IPv4 address): the "
    "headless panel has no Connect To dialog",
    "--script FILE is needed",
    "unexpected argument",
    "this option takes no value",
    "the last word is read as the time-out in ms; write \"within MS\" to say so, or \\x3N for a last digit "
    "of the text",
    "the script has no steps",
    "the text is longer than the screen can show",
    "not a regular file (a folder, a device such as AUX, CON or NUL, or a pipe)",
    "the report could not be written",
    "the capture holds nothing for the panel (no block from the control)",
};
static_assert(sizeof(kTexts) / sizeof(kTexts[0]) == Count, "one text per id");

// Whether the text names this number (a whole run of digits), for the texts that state a limit.
constexpr bool Names(const char* text, long number) {
    for (const char* p = text; *p;) {
        if (*p < '0' || *p > '9') {
            ++p;
            continue;
        }
        long value = 0;
        for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + (*p - '0');
        if (value == number) return true;
    }
    return false;
}
static_assert(Names(kTexts[BranchTooLong], commands::BranchTextMax), "the text states the dialog's limit");

bool IsDigit(const char* legend) { return legend[0] >= '0' && legend[0] <= '9' && !legend[1]; }

// The legends in row order, a run of digit keys as "0..9".
std::string Legends() {
    std::string list;
    for (int32_t i = 0; i < KeyTable::Count; ++i) {
        const char* legend = KeyTable::Rows[i].legend;
        int32_t last = i;
        while (IsDigit(legend) && last + 1 < KeyTable::Count && IsDigit(KeyTable::Rows[last + 1].legend) &&
               KeyTable::Rows[last + 1].legend[0] == KeyTable::Rows[last].legend[0] + 1)
            ++last;
        list += (list.empty() ? "" : ", ") + std::string(legend);
        if (last > i) list += std::string("..") + KeyTable::Rows[last].legend;
        i = last;
    }
    return list;
}
}  // namespace

const char* Text(unsigned id) {
    if (id == UnknownKey) {
        static const std::string text = std::string(kTexts[id]) + " (" + Legends() + ")";
        return text.c_str();
    }
    return id < Count ? kTexts[id] : "unknown error";
}
}  // namespace tool_text
