// quorvex-lua-tables TEMPLATE OUTPUT: writes the dissector from its template, each @NAME@ filled
// in from the panel's own tables, so that the dissector reads the stream as the decoder does and
// the commands as the tools' reader does.
// Built with the build machine's compiler in every build (the Windows one too).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "link/stream_decoder.h"
#include "protocol/command_table.h"
#include "protocol/inbound_table.h"
#include "protocol/key_table.h"
#include "protocol/screen.h"

namespace {
std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string AnswerText() {
    return std::string(inbound::IdentificationAnswer, sizeof inbound::IdentificationAnswer);
}

// One row per code that does something: the kind it delivers (with its line for the line
// clears), and the byte's name as a comment.
std::string ControlCodes() {
    std::vector<std::string> entries;
    size_t width = 0;
    for (const inbound::ControlCode& c : inbound::kControlCodes) {
        std::string entry = "    [" + std::to_string(c.byte) + "] = {kind = \"";
        if (c.reaction == inbound::Reaction::Identify) {
            entry += std::string(inbound::IdentificationRequest) + "\"";
        } else {
            const inbound::EventName* name = inbound::FindEventName(c.type, c.kind);
            entry += std::string(name->kindName) + "\"";
            if (name->shape == inbound::EventShape::WithLine) entry += ", line = " + std::to_string(c.argument);
        }
        entries.push_back(entry + "},");
        width = std::max(width, entries.back().size() + 1);
    }
    std::string out;
    for (size_t i = 0; i < entries.size(); ++i) {
        const inbound::ControlCode& c = inbound::kControlCodes[i];
        std::string row = entries[i];
        row.resize(width, ' ');
        row += std::string("-- ") + c.mnemonic;
        if (c.note) row += std::string(": ") + c.note;
        if (c.reaction == inbound::Reaction::Identify) row += ": answered with \"" + AnswerText() + "\"";
        out += (i ? "\n" : "") + row;
    }
    return out;
}

std::string AddressForms() {
    std::string out = "{";
    for (int form = 0; form < 2; ++form) {
        const inbound::AddressForm& f = inbound::kAddressForms[form];
        out += std::string(form ? ", " : "") + "[" + std::to_string(form) + "] = {" + Hex(f.leadXor) + ", " +
               std::to_string(f.rowOffset) + ", " + Hex(f.trailXor) + "}";
    }
    return out + "}";
}

std::string Quoted(const std::string& bytes) {
    std::string out = "\"";
    for (char c : bytes) {
        if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}

// One row per single-byte command: its byte, its kind, its key's legend and an adjust's
// direction and speed.
std::string ByteCommands() {
    std::string out;
    for (const commands::Row& r : commands::kRows) {
        if (r.form != commands::Form::Fixed || r.bytes[1] != '\0') continue;
        std::string row = "    {" + Quoted(r.bytes) + ", " + Quoted(r.name);
        if (r.key) row += ", " + Quoted(KeyTable::Legend(r.key));
        if (r.speed) row += ", " + Quoted(r.detail) + ", " + Quoted(commands::SpeedName(r.speed));
        out += (out.empty() ? "" : "\n") + row + "},";
    }
    return out;
}

std::string LeadOf(commands::Form form) {
    for (const commands::Row& r : commands::kRows)
        if (r.form == form) return Quoted(std::string(1, r.bytes[0]));
    return "nil";
}

const std::map<std::string, std::string> kValues = {
    {"BLOCK_SIZE", std::to_string(StreamDecoder::BlockSize)},
    {"LINES", std::to_string(screen::Lines)},
    {"COLUMNS", std::to_string(screen::Columns)},
    {"TEXT_FIRST", Hex(inbound::TextFirst)},
    {"ADDRESS_FIRST", Hex(inbound::AddressFirst)},
    {"CONTROL_CODES", ControlCodes()},
    {"ADDRESS_FORMS", AddressForms()},
    {"IDENTIFICATION_ANSWER", AnswerText()},
    {"BYTE_COMMANDS", ByteCommands()},
    {"SELECT_LEAD", LeadOf(commands::Form::Numbered)},
    {"BRANCH_LEAD", LeadOf(commands::Form::Text)},
    {"MAX_BRANCH_TEXT", std::to_string(commands::BranchTextReadMax)},
};

bool IsName(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!(c == '_' || (c >= 'A' && c <= 'Z'))) return false;
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: quorvex-lua-tables TEMPLATE OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream read;
    read << in.rdbuf();
    if (!in) {
        std::fprintf(stderr, "quorvex-lua-tables: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text = read.str();
    std::string out;
    std::set<std::string> used;
    size_t at = 0;
    for (size_t open; (open = text.find('@', at)) != std::string::npos;) {
        const size_t close = text.find('@', open + 1);
        const std::string name = close == std::string::npos ? "" : text.substr(open + 1, close - open - 1);
        if (!IsName(name)) {
            out += text.substr(at, open + 1 - at);
            at = open + 1;
            continue;
        }
        const auto value = kValues.find(name);
        if (value == kValues.end()) {
            std::fprintf(stderr, "quorvex-lua-tables: %s: no value for @%s@\n", argv[1], name.c_str());
            return 1;
        }
        out += text.substr(at, open - at) + value->second;
        used.insert(name);
        at = close + 1;
    }
    out += text.substr(at);
    for (const auto& [name, value] : kValues) {
        if (!used.count(name)) {
            std::fprintf(stderr, "quorvex-lua-tables: %s: @%s@ is never used\n", argv[1], name.c_str());
            return 1;
        }
    }
    std::ofstream file(argv[2], std::ios::binary);
    file << out;
    file.close();
    if (!file) {
        std::fprintf(stderr, "quorvex-lua-tables: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
