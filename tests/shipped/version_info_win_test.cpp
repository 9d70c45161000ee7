// The version resource of every shipped program: the project's version in the fixed part and
// in the texts, the company and product names the installer shows, and the file's own name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "shipped_programs.h"
#include "tests/support/programs_build_win.h"

namespace {
std::string Value(const std::vector<char>& block, const char* name) {
    char* text = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) return "";
    return std::string(text);
}

std::string BuildTree() {
    const std::string other = OtherProgramsBuild();
    return other.empty() ? std::string("Z:") + kOwnBuild : other;
}

TEST(VersionInfo, EveryShippedProgramCarriesTheProjectVersionAndNames) {
    for (const ShippedProgram& program : kShippedPrograms) {
        const std::string path = BuildTree() + "\\" + program.path;
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
        ASSERT_GT(size, 0u) << program.name << " has no version resource";
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data())) << program.name;
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << program.name;
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(QUORVEX_VERSION_MINOR, QUORVEX_VERSION_MAJOR)) << program.name;
        EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, QUORVEX_VERSION_PATCH))) << program.name;
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS) << program.name;
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS) << program.name;
        EXPECT_EQ(Value(block, "FileVersion"), QUORVEX_VERSION) << program.name;
        EXPECT_EQ(Value(block, "ProductVersion"), QUORVEX_VERSION) << program.name;
        EXPECT_EQ(Value(block, "ProductName"), "Quorvex") << program.name;
        EXPECT_EQ(Value(block, "CompanyName"), "Halvorne Orvik") << program.name;
        EXPECT_EQ(Value(block, "OriginalFilename"), std::string(program.name) + ".exe");
        EXPECT_FALSE(Value(block, "FileDescription").empty()) << program.name;
    }
}
}  // namespace
