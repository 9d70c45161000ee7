// Script files: Windows device names refused by name (they would open the device), folders and
// missing files refused before any reading.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tools/common/script_file.h"
#include "tools/common/texts.h"

namespace {
TEST(ScriptFile, DeviceNamesInAnyCaseWithAnyExtensionAndFolder) {
    for (const char* name : {"aux.txt", "AUX", "con", "Con.script.txt", "NUL", "nul .txt", "COM1", "com9.log", "LPT3",
                             "prn.x", "conin$", "CONOUT$", "scripts\\aux.txt", "c:/tests/NUL.txt", "C:aux"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char* name : {"auxiliary.txt", "com0", "COM10", "lpt", "console.txt", "my-aux.txt", "aux/params.txt",
                             "nul/x", "params.txt", ""})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}

TEST(ScriptFile, ReadsRegularFilesAndRefusesTheRest) {
    const std::string path = "script_file_test.txt";
    std::ofstream(path, std::ios::binary) << "key ENTER\r\n";
    std::string content;
    EXPECT_EQ(ReadScriptFile(path, content), 0u);
    EXPECT_EQ(content, "key ENTER\r\n");
    std::remove(path.c_str());
    EXPECT_EQ(ReadScriptFile(path, content), tool_text::ScriptUnreadable);
    EXPECT_EQ(ReadScriptFile(".", content), tool_text::ScriptNotAFile);
    EXPECT_EQ(ReadScriptFile("aux.txt", content), tool_text::ScriptNotAFile);
}
}  // namespace
