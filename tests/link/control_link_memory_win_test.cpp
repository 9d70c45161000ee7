// The link when memory runs out while it connects: the reader that cannot be given its
// context is reported as 62011, with both pipes closed and no thread left.
#include <gtest/gtest.h>
#include <windows.h>

#include "link/control_link_win.h"
#include "tests/link/connect_test_peer_win.h"
#include "tests/link/failing_allocator.h"

namespace {
class NoDisplay final : public EventSink {
public:
    int32_t ApplyEvent(uint32_t, intptr_t, int32_t) override { return 1; }
};

TEST(LinkOutOfMemory, AReaderThatCannotBeMadeLeavesNoPipeOpen) {
    static const char* const kLocal[] = {"quorvex.exe", "-l"};
    NoDisplay display;
    TestLinkOwner owner(&display);
    ControlLink link(&owner);
    link.UseArguments(2, kLocal);
    TestPeer peer;
    ASSERT_TRUE(peer.Offer(2, true, true));
    DWORD handlesBefore = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesBefore));
    int flag = -1;
    unsigned result = 0;
    int refused = 0;
    {
        failing_allocator::Refusal refusal;
        result = link.Connect(&flag);
        refused = refusal.Refused();
    }
    EXPECT_EQ(result, 62011u);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(flag, -1);
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(link.ReaderThreadId(), 0u);
    DWORD handlesAfter = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &handlesAfter));
    EXPECT_EQ(handlesAfter, handlesBefore) << "a pipe or thread handle was left open";
    EXPECT_TRUE(peer.Opened(2, TestPeer::Side::Read));
    EXPECT_FALSE(peer.Send(2, "x", 200)) << "the read pipe is still held";
}
}  // namespace
