// quorvex-dump [FILE|-] [--json | --screen | --at SECONDS | --raw]: reads a recorded control
// stream or a session capture of quorvex-tap (pcapng, or classic pcap). A stream is decoded in
// the reader's blocks and printed one event a line; a capture shows both directions in time
// order; --json writes the same as JSON objects. --screen prints the display left at the end
// (--at: that many seconds into a capture) and the cursor; --raw writes the inbound bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "tools/common/capture_file.h"
#include "tools/common/command_line.h"
#include "tools/common/screen_text.h"
#include "tools/common/texts.h"
#include "tools/dump/session_print.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "support/system_dll_win.h"
#endif

namespace {
constexpr char kUsage[] =
    "usage: quorvex-dump [FILE|-] [--json | --screen | --at SECONDS | --raw]\n"
    "       quorvex-dump --help | --version\n"
    "  FILE is a raw inbound stream or a capture of quorvex-tap, pcapng or classic pcap of link type\n"
    "  USER0 (- or nothing: standard input)\n"
    "  (no option)   one line per display event; a capture also shows the commands, in time order\n"
    "  --json        the same, one JSON object a line: time, direction, kind and its fields\n"
    "  --screen      the 20 x 40 screen at the end and the cursor\n"
    "  --at SECONDS  the screen that many seconds after the first block of a capture\n"
    "  --raw         the inbound bytes as they were read (a capture's panel side)\n"
    "exit status: 0 done, 1 unreadable file or broken capture, 2 bad command line\n";
constexpr int kDone = 0;
constexpr int kBadFile = 1;
constexpr int kBadUsage = 2;  // also AnswerCommandLine's

enum class Mode { Events, Json, Screen, At, Raw };

struct Options {
    std::string path = "-";
    Mode mode = Mode::Events;
    uint64_t atUs = 0;
};

// Decimal seconds with at most six decimals, e.g. "12" or "0.25".
bool ParseSeconds(const char* text, uint64_t& us) {
    uint64_t whole = 0;
    uint64_t fraction = 0;
    int decimals = -1;
    if (!*text) return false;
    for (const char* p = text; *p; ++p) {
        if (*p == '.' && decimals < 0) {
            decimals = 0;
        } else if (*p >= '0' && *p <= '9') {
            if (decimals < 0) {
                whole = whole * 10 + static_cast<uint64_t>(*p - '0');
                if (whole > 1000000000) return false;
            } else if (++decimals <= 6) {
                fraction = fraction * 10 + static_cast<uint64_t>(*p - '0');
            } else {
                return false;
            }
        } else {
            return false;
        }
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 6; ++d) fraction *= 10;
    us = whole * 1000000 + fraction;
    return true;
}

enum OptionId { Json, Screen, At, Raw };
constexpr CommandOption kOptions[] = {
    {"--json", Json, false}, {"--screen", Screen, false}, {"--at", At, true}, {"--raw", Raw, false}};
constexpr Mode kModes[] = {Mode::Json, Mode::Screen, Mode::At, Mode::Raw};  // by option id

CommandLineResult ParseOptions(int argc, char** argv, Options& o) {
    bool havePath = false;
    const char* modeGiven = nullptr;
    const auto option = [&](int id, const std::string& value) {
        if (modeGiven) return tool_text::DumpOneMode;
        if (id == At && !ParseSeconds(value.c_str(), o.atUs)) return tool_text::BadSeconds;
        o.mode = kModes[id];
        modeGiven = kOptions[id].name;
        return tool_text::Ok;
    };
    const auto operand = [&](const std::string& path) {
        if (havePath) return tool_text::ExtraArgument;
        o.path = path;
        havePath = true;
        return tool_text::Ok;
    };
    return ReadCommandLine(argc, argv, 1, kOptions, sizeof kOptions / sizeof kOptions[0], option, operand);
}

bool ReadAll(std::FILE* file, std::string& data) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) data.append(buf, n);
    return std::ferror(file) == 0;
}

void SetBinaryOutput() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

void DumpStream(const std::string& data, Mode mode) {
    if (mode == Mode::Raw) {
        SetBinaryOutput();
        std::fwrite(data.data(), 1, data.size(), stdout);
        return;
    }
    if (mode != Mode::Screen) {
        PrintStream(stdout, data, mode == Mode::Json ? LineStyle::Json : LineStyle::Text);
        return;
    }
    WindowlessOwner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    ApplyInbound({{0, capture::Direction::ToPanel, data}}, UINT64_MAX, display);
    std::fputs(FormatScreen(CopyScreen(display)).c_str(), stdout);
}

void NoteIgnoredBytes(const char* path, const std::string& inbound, Mode mode) {
    if (mode == Mode::Raw || mode == Mode::At) return;
    const size_t ignored = BytesAfterExitNotice(inbound);
    if (ignored)
        std::fprintf(stderr, "quorvex-dump: %s: %zu inbound bytes after the exit notice ignored (the panel reads no further)\n",
                     path, ignored);
}

void DumpCapture(std::vector<capture::Record>& records, const Options& o) {
    SortByTime(records);
    if (o.mode == Mode::Events || o.mode == Mode::Json) {
        PrintSession(stdout, records, o.mode == Mode::Json ? LineStyle::Json : LineStyle::Text);
    } else if (o.mode == Mode::Raw) {
        SetBinaryOutput();
        for (const capture::Record& r : records)
            if (r.direction == capture::Direction::ToPanel) std::fwrite(r.bytes.data(), 1, r.bytes.size(), stdout);
    } else {
        WindowlessOwner owner;
        TextDisplay display;
        display.SetOwner(&owner);
        ApplyInbound(records, o.mode == Mode::At ? o.atUs : UINT64_MAX, display);
        std::fputs(FormatScreen(CopyScreen(display)).c_str(), stdout);
    }
}
}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    system_dll::RestrictSearchPath();  // as every program: nothing from its folder or the current one
#endif
    Options options;
    const int answered = AnswerCommandLine(ParseOptions(argc, argv, options), "quorvex-dump", kUsage, stdout, stderr);
    if (answered >= 0) return answered;
    const bool fromStdin = options.path == "-";
#ifdef _WIN32
    if (fromStdin) _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::FILE* file = fromStdin ? stdin : std::fopen(options.path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "quorvex-dump: cannot open %s\n", options.path.c_str());
        return kBadFile;
    }
    std::string data;
    const bool read = ReadAll(file, data);
    if (!fromStdin) std::fclose(file);
    if (!read) {
        std::fprintf(stderr, "quorvex-dump: read error on %s\n", options.path.c_str());
        return kBadFile;
    }

    if (!capture::LooksLikeCapture(data)) {
        if (options.mode == Mode::At) {
            std::fprintf(stderr, "quorvex-dump: %s: --at needs a capture (a raw stream has no times)\n", options.path.c_str());
            return kBadUsage;
        }
        DumpStream(data, options.mode);
        std::fflush(stdout);
        NoteIgnoredBytes(options.path.c_str(), data, options.mode);
        return kDone;
    }
    capture::ReadResult result = capture::Read(data);
    if (result.directionsGuessed && result.id == tool_text::Ok)
        std::fprintf(stderr,
                     "quorvex-dump: %s: a classic pcap records no directions: packets of commands are taken as "
                     "outbound, all others as inbound\n",
                     options.path.c_str());
    DumpCapture(result.records, options);
    std::fflush(stdout);
    if (result.id == tool_text::CaptureLinkType) {
        std::fprintf(stderr, "quorvex-dump: %s: offset %llu: link type %u: %s\n", options.path.c_str(),
                     static_cast<unsigned long long>(result.offset), static_cast<unsigned>(result.linkType),
                     tool_text::Text(result.id));
        return kBadFile;
    }
    if (result.id != tool_text::Ok) {
        std::fprintf(stderr, "quorvex-dump: %s: offset %llu: %s\n", options.path.c_str(),
                     static_cast<unsigned long long>(result.offset), tool_text::Text(result.id));
        return kBadFile;
    }
    NoteIgnoredBytes(options.path.c_str(), InboundBytes(result.records), options.mode);
    if (result.cut)
        std::fprintf(stderr, "quorvex-dump: %s: offset %llu: %s\n", options.path.c_str(),
                     static_cast<unsigned long long>(result.offset), tool_text::Text(tool_text::CaptureCut));
    return kDone;
}
