// Reading, decoding and applying a block allocate nothing.
#include <gtest/gtest.h>

#include <string>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "link/read_loop.h"
#include "tests/link/counting_allocator.h"

namespace {
class Source final : public ReadSource, public ByteWriter {
public:
    bool Read(uint8_t* buf, uint32_t capacity, uint32_t* got) override {
        *got = 0;
        for (char c : bytes) {
            if (*got == capacity) break;
            buf[(*got)++] = static_cast<uint8_t>(c);
        }
        return true;
    }
    int WriteBytes(const char*, int32_t) override { return 1; }
    std::string bytes;
};

TEST(NoAllocation, ReadingDecodingAndApplyingAllocateNothing) {
    Source source;
    source.bytes = std::string("\x01" "\x85\x8a" "TEXT\r\n\x1a\x07\x0b\x0c\x15\x0e\x0f\xc1\x85\x93\xa6" "Z") +
                   std::string(3000, 'x');
    WindowlessOwner owner;
    TextDisplay display;
    display.SetOwner(&owner);
    StreamDecoder decoder;
    char lines[20][41];

    counting_allocator::Start();
    const int32_t result = ReadAndDecode(source, decoder, &display, source);
    display.Snapshot(lines);
    const int allocations = counting_allocator::Stop();

    EXPECT_EQ(result, read_result::Done);
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(std::string(lines[19] + 38, 2), "Zx");
}

TEST(NoAllocation, TheCounterSeesAnAllocation) {
    counting_allocator::Start();
    std::string* s = new std::string(100, 'a');
    const int allocations = counting_allocator::Stop();
    delete s;
    EXPECT_GE(allocations, 1);
}
}  // namespace
