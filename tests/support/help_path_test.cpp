// The help paths: the extension of the file name (never of a folder) is replaced by ".HLP" for
// WinHelp or ".html" for the operator's guide.
#include <gtest/gtest.h>

#include <string>

#include "support/help_path.h"

namespace {
TEST(HelpPath, ReplacesOnlyTheFileNamesExtension) {
    struct Row {
        const char* exe;
        const char* stem;
    } rows[] = {
        {"C:\\A\\PANEL.EXE", "C:\\A\\PANEL"},
        {"C:\\A.B\\PANEL", "C:\\A.B\\PANEL"},
        {"C:\\Panel\\panel.exe", "C:\\Panel\\panel"},
        {"C:\\A\\panel.tar.exe", "C:\\A\\panel.tar"},
        {"C:\\A\\PANEL.", "C:\\A\\PANEL"},
        {"C:\\A\\.exe", "C:\\A\\"},
        {".exe", ""},
        {"PANEL", "PANEL"},
        {"C:\\A\\", "C:\\A\\"},
        {"", ""},
        // Only the backslash separates folders.
        {"/a.b/panel", "/a"},
    };
    for (const char* extension : {help_path::WinHelpExtension, help_path::GuideExtension}) {
        for (const Row& row : rows) {
            const std::string expected = std::string(row.stem) + extension;
            EXPECT_EQ(help_path::Length(row.exe, extension), expected.size()) << row.exe;
            std::string built(expected.size() + 8, '#');
            help_path::Build(row.exe, extension, &built[0]);
            EXPECT_STREQ(built.c_str(), expected.c_str()) << row.exe;
            EXPECT_EQ(built[expected.size() + 1], '#') << "wrote past the path: " << row.exe;
            auto made = help_path::Make(row.exe, extension);
            ASSERT_NE(made, nullptr);
            EXPECT_STREQ(made.get(), expected.c_str()) << row.exe;
        }
    }
}
}  // namespace
