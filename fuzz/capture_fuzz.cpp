// libFuzzer target: an arbitrary file as a session capture, pcapng or classic pcap. Reading
// never leaves the input, ends with whole records, an error with an offset inside the file or
// a cut; what it read writes and reads back the same; the dump's session lines (text and
// JSON), screens and the replay plan take any records.
#include <cstdio>
#include <string>
#include <string_view>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "fuzz/fuzz_check.h"
#include "tools/common/capture_file.h"
#include "tools/common/texts.h"
#include "tools/dump/session_print.h"
#include "tools/sim/replay_plan.h"

namespace {
std::FILE* Sink() {
    static std::FILE* null = std::fopen("/dev/null", "w");
    return null;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    capture::ReadResult r = capture::Read(file);
    Check(r.id < tool_text::Count, "unknown text id");
    Check(r.offset <= size, "offset outside the file");
    Check(!(r.cut && r.id != 0), "cut and broken at once");
    size_t payload = 0;
    for (const capture::Record& rec : r.records) {
        payload += rec.bytes.size();
        Check(rec.direction == capture::Direction::ToPanel || rec.direction == capture::Direction::ToControl,
              "record without a direction");
    }
    Check(payload <= size, "more payload than input");

    std::string again = capture::FileHeader("fuzz", "again");
    for (const capture::Record& rec : r.records) again += capture::PacketBlock(rec);
    const capture::ReadResult back = capture::Read(again);
    Check(back.id == 0 && !back.cut, "a rewritten capture does not read");
    Check(back.records.size() == r.records.size(), "a rewritten capture lost records");
    for (size_t i = 0; i < back.records.size(); ++i) {
        Check(back.records[i].timeUs == r.records[i].timeUs, "time changed on the way back");
        Check(back.records[i].direction == r.records[i].direction, "direction changed on the way back");
        Check(back.records[i].bytes == r.records[i].bytes, "bytes changed on the way back");
    }

    SortByTime(r.records);
    PrintSession(Sink(), r.records, LineStyle::Text);
    PrintSession(Sink(), r.records, LineStyle::Json);
    Check(BytesAfterExitNotice(InboundBytes(r.records)) <= payload, "more bytes after the exit notice than read");
    WindowlessOwner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    ApplyInbound(r.records, size ? data[0] * 100000ull : UINT64_MAX, display);
    const uint32_t speed = size > 1 ? 1 + data[1] * 4000u : 1000u;
    const std::vector<ReplayStep> steps = PlanReplay(r.records, speed);
    for (size_t i = 1; i < steps.size(); ++i) Check(steps[i - 1].atUs <= steps[i].atUs, "replay out of time order");
    return 0;
}
