// quorvex-dump [FILE|-] [--screen]: decodes a recorded control stream in the reader's blocks and
// prints its events one a line, or with --screen the display it leaves and the cursor.
#include <cstdio>
#include <cstring>

#include "display/text_display.h"
#include "link/read_loop.h"
#include "tools/dump/event_print.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {
constexpr char kUsage[] = "usage: quorvex-dump [FILE|-] [--screen]\n";

class FileSource final : public ReadSource {
public:
    explicit FileSource(std::FILE* f) : file_(f) {}
    // End of file counts as a failed read, as a broken pipe does for the reader.
    bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override {
        *got = static_cast<uint32_t>(std::fread(buf, 1, capacity, file_));
        return *got > 0;
    }
    bool Failed() const { return std::ferror(file_) != 0; }

private:
    std::FILE* file_;
};

class Printer final : public EventSink, public ByteWriter {
public:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        PrintEvent(stdout, type, kind, argument);
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        PrintAnswer(stdout, bytes, count);
        return 1;
    }
};

// The display is shown as if the font existed; repaints and the exit go nowhere.
class HeadlessOwner final : public DisplayOwner {
public:
    void RepaintLine(const LineRect&) override {}
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
};

struct Options {
    const char* path = "-";
    bool screen = false;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screen") == 0) {
            o.screen = true;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            return false;
        } else if (havePath) {
            return false;
        } else {
            o.path = argv[i];
            havePath = true;
        }
    }
    return true;
}

void PrintScreen(const TextDisplay& display) {
    char lines[TextDisplay::Lines][TextDisplay::Columns + 1];
    display.Snapshot(lines);
    for (const auto& line : lines) std::printf("%s\n", line);
    std::printf("cursor %d %d\n", static_cast<int>(display.CursorRow()), static_cast<int>(display.CursorColumn()));
}
}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const bool fromStdin = std::strcmp(options.path, "-") == 0;
#ifdef _WIN32
    if (fromStdin) _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::FILE* file = fromStdin ? stdin : std::fopen(options.path, "rb");
    if (!file) {
        std::fprintf(stderr, "quorvex-dump: cannot open %s\n", options.path);
        return 1;
    }

    FileSource source(file);
    StreamDecoder decoder;
    Printer printer;
    HeadlessOwner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    EventSink* sink = options.screen ? static_cast<EventSink*>(&display) : &printer;
    while (ReadAndDecode(source, decoder, sink, printer) == read_result::Done) {
    }
    const bool failed = source.Failed();
    if (!fromStdin) std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "quorvex-dump: read error on %s\n", options.path);
        return 1;
    }
    if (options.screen) PrintScreen(display);
    return 0;
}
