// AppServices with a string table that lacks the reports' own texts (62001, 62004, 62005,
// 62007, 62009, 62013): a report whose texts are missing shows nothing and does not report
// itself again, and a text longer than a piece is cut to 254 characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "box_watcher_win.h"
#include "services_fixture_win.h"
#include "services_test_window_win.h"
#include "support/app_services_win.h"
#include "support/text_ids.h"

namespace {
class PartialTexts : public ServicesFixture {};

TEST_F(PartialTexts, FailuresWhoseReportsLackTheirTextsEndQuietly) {
    BoxWatcher watcher;
    const int32_t before = services->Scratch().Offset();
    // A missing block raises the internal usage report, whose format 62007 is missing too;
    // reported again, that would raise itself without end.
    EXPECT_EQ(services->LoadText(100), nullptr);
    // A missing string raises the error report, whose format 62013 and title 62001 are missing.
    EXPECT_EQ(services->LoadText(text_id::TitleError + 1), nullptr);
    EXPECT_EQ(services->AllocScratch(0), nullptr);
    EXPECT_EQ(services->GetArg(-1), nullptr);
    services->ShowError(nullptr, text_id::ControlExitedNotice, text_id::ObjectFrame);          // title missing
    services->ShowInternalError(nullptr, text_id::ControlExitedNotice, text_id::ObjectFrame);  // title missing
    services->ShowFatalError(nullptr, text_id::ControlExitedNotice, text_id::ObjectFrame);     // title missing: no box, no close
    services->ShowNotice(nullptr, text_id::TitleFatalError);                // text missing
    EXPECT_TRUE(watcher.Stop().empty());
    PumpUntil([] { return false; }, 50);
    EXPECT_EQ(owner.closeRequests, 0);
    // Each quiet failure took only a handful of pieces, not a ring's worth.
    const int32_t used = services->Scratch().Offset() - before;
    EXPECT_GT(used, 0);
    EXPECT_LT(used, 40 * 255);
}

TEST_F(PartialTexts, BoxesWhoseTextsExistStillShow) {
    BoxWatcher watcher;
    services->ShowNotice(nullptr, text_id::ControlExitedNotice);
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Notice");
    EXPECT_EQ(boxes[0].text, "The control application has exited.  Quorvex will now shutdown.");
}

TEST_F(PartialTexts, ALongTextIsCutTo254Characters) {
    const char* text = services->LoadText(1000);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), 254u);
    EXPECT_EQ(std::string(text), std::string(254, 'L'));
}
}  // namespace
