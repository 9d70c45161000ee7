// Runs protocol scripts: PUSH lines of stream bytes, each fed to the decoder and the display in
// the reader's blocks, then what they must give: every event as quorvex-dump prints it, in
// order, and any number of "screen ROW "TEXT"" and "cursor ROW,COLUMN" lines. Each failure is
// printed as FILE:LINE: what differed; the exit status is 1 when any check failed.
//
//   PUSH "AB" 0d "C"*2    text in quotes (\" and \\ escaped), hex bytes, *N repeats; # comments
//   Text 2 "AB"
//   CursorMove LineStart
//   Text 2 "CC"
//   screen 0 "CC"         line 0 is CC and blanks
//   cursor 0,2
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "link/stream_decoder.h"
#include "tests/link/recording_sink.h"
#include "tools/common/escapes.h"

namespace {
// A quoted text at `at` (on its opening quote), unescaped; false when it does not close.
bool ReadQuoted(const std::string& line, size_t& at, std::string& text) {
    for (++at; at < line.size(); ++at) {
        if (line[at] == '"') {
            ++at;
            return true;
        }
        if (line[at] == '\\' && at + 1 < line.size()) ++at;
        text += line[at];
    }
    return false;
}

// The bytes of a PUSH line's tokens; false with the bad token's offset in `at`.
bool ReadBytes(const std::string& line, size_t& at, std::string& bytes) {
    while (at < line.size()) {
        if (line[at] == ' ' || line[at] == '\t') {
            ++at;
            continue;
        }
        if (line[at] == '#') return true;
        std::string piece;
        if (line[at] == '"') {
            if (!ReadQuoted(line, at, piece)) return false;
        } else if (at + 1 < line.size() && HexValue(line[at]) >= 0 && HexValue(line[at + 1]) >= 0) {
            piece = static_cast<char>(HexValue(line[at]) * 16 + HexValue(line[at + 1]));
            at += 2;
        } else {
            return false;
        }
        long repeat = 1;
        if (at < line.size() && line[at] == '*') {
            char* end = nullptr;
            repeat = std::strtol(line.c_str() + at + 1, &end, 10);
            if (repeat < 1 || end == line.c_str() + at + 1) return false;
            at = static_cast<size_t>(end - line.c_str());
        }
        if (at < line.size() && line[at] != ' ' && line[at] != '\t') return false;
        for (long i = 0; i < repeat; ++i) bytes += piece;
    }
    return true;
}

class Script {
public:
    explicit Script(const std::string& path) : path_(path) {
        display_.SetOwner(&window_);
        sink_.next = &display_;
    }

    // True when every check of the file held.
    bool Run() {
        std::ifstream in(path_);
        if (!in) return Fail(0, "cannot be read");
        std::string line;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            const size_t start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line[start] == '#') continue;
            Step(number, line.substr(start));
        }
        EndPush(number);
        if (checks_ == 0) Fail(number, "checks nothing");
        return ok_;
    }

private:
    void Step(int number, const std::string& line) {
        int row = 0, column = 0;
        char quote = 0;
        if (line.compare(0, 5, "PUSH ") == 0) {
            EndPush(number);
            Push(number, line);
        } else if (std::sscanf(line.c_str(), "cursor %d,%d", &row, &column) == 2) {
            ++checks_;
            const int gotRow = display_.CursorRow(), gotColumn = display_.CursorColumn();
            if (gotRow != row || gotColumn != column)
                Fail(number, "cursor is " + std::to_string(gotRow) + "," + std::to_string(gotColumn));
        } else if (std::sscanf(line.c_str(), "screen %d %c", &row, &quote) == 2 && quote == '"') {
            CheckLine(number, line, row);
        } else {
            ++checks_;
            if (next_ < events_.size())
                Expect(number, line, events_[next_++]);
            else
                Fail(number, "no further event; expected: " + line);
        }
    }

    void Push(int number, const std::string& line) {
        std::string bytes;
        size_t at = 5;
        if (!ReadBytes(line, at, bytes)) {
            Fail(number, "bad token at column " + std::to_string(at + 1));
            return;
        }
        pushLine_ = number;
        // The reader reads no further after the exit notice.
        if (!exited_)
            exited_ = decoder_.DecodeAsRead(bytes.data(), bytes.size(), sink_, sink_) == DecodeResult::ControlExited;
        events_.swap(sink_.log);
        sink_.log.clear();
        next_ = 0;
    }

    // Every event of the last PUSH must have been expected.
    void EndPush(int number) {
        for (; next_ < events_.size(); ++next_)
            Fail(number, "event of the PUSH of line " + std::to_string(pushLine_) + " not expected: " + events_[next_]);
    }

    void CheckLine(int number, const std::string& line, int row) {
        ++checks_;
        size_t at = line.find('"');
        std::string want;
        if (row < 0 || row >= screen::Lines || !ReadQuoted(line, at, want) || want.size() > screen::Columns) {
            Fail(number, "bad screen line");
            return;
        }
        want.resize(screen::Columns, ' ');
        char lines[screen::Lines][screen::Columns + 1];
        display_.Snapshot(lines);
        Expect(number, want, lines[row]);
    }

    void Expect(int number, const std::string& want, const std::string& got) {
        if (want != got) Fail(number, "expected: " + want + "\n    got: " + got);
    }

    bool Fail(int number, const std::string& what) {
        std::printf("%s:%d: %s\n", path_.c_str(), number, what.c_str());
        ok_ = false;
        return false;
    }

    std::string path_;
    WindowlessOwner window_;
    TextDisplay display_;
    StreamDecoder decoder_;
    RecordingSink sink_;
    std::vector<std::string> events_;
    size_t next_ = 0;
    int pushLine_ = 0;
    int checks_ = 0;
    bool exited_ = false;
    bool ok_ = true;
};
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: protocol_script FILE...\n");
        return 2;
    }
    bool ok = true;
    for (int i = 1; i < argc; ++i) ok = Script(argv[i]).Run() && ok;
    return ok ? 0 : 1;
}
