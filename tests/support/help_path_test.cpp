// The help path: the extension of the file name (never of a folder) is replaced by ".HLP".
#include <gtest/gtest.h>

#include <string>

#include "support/help_path.h"

namespace {
TEST(HelpPath, ReplacesOnlyTheFileNamesExtension) {
    struct Row {
        const char* exe;
        const char* help;
    } rows[] = {
        {"C:\\A\\PANEL.EXE", "C:\\A\\PANEL.HLP"},
        {"C:\\A.B\\PANEL", "C:\\A.B\\PANEL.HLP"},
        {"C:\\Panel\\panel.exe", "C:\\Panel\\panel.HLP"},
        {"C:\\A\\panel.tar.exe", "C:\\A\\panel.tar.HLP"},
        {"C:\\A\\PANEL.", "C:\\A\\PANEL.HLP"},
        {"C:\\A\\.exe", "C:\\A\\.HLP"},
        {".exe", ".HLP"},
        {"PANEL", "PANEL.HLP"},
        {"C:\\A\\", "C:\\A\\.HLP"},
        {"", ".HLP"},
        // Only the backslash separates folders.
        {"/a.b/panel", "/a.HLP"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(help_path::Length(row.exe), std::string(row.help).size()) << row.exe;
        std::string built(help_path::Length(row.exe) + 8, '#');
        help_path::Build(row.exe, &built[0]);
        EXPECT_STREQ(built.c_str(), row.help) << row.exe;
        EXPECT_EQ(built[help_path::Length(row.exe) + 1], '#') << "wrote past the path: " << row.exe;
        auto made = help_path::Make(row.exe);
        ASSERT_NE(made, nullptr);
        EXPECT_STREQ(made.get(), row.help) << row.exe;
    }
}
}  // namespace
