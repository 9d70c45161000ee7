// The manifest embedded in every shipped program, read from the file as data (so the x86
// programs are read too where they cannot run): the program's own architecture, the invoking
// user's rights without virtualization, Windows 7 to 11 as supported systems, and the panel's
// display scaling.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "shipped_programs.h"
#include "tests/support/programs_build_win.h"

namespace {

std::string BuildTree() {
    const std::string other = OtherProgramsBuild();
    return other.empty() ? std::string("Z:") + kOwnBuild : other;
}

std::string EmbeddedManifest(const std::string& path) {
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return "";
    std::string text;
    if (HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
        if (bytes) text.assign(bytes, SizeofResource(image, found));
    }
    FreeLibrary(image);
    return text;
}

// The manifest's name for the machine the file's header names.
std::string ArchitectureOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    IMAGE_DOS_HEADER dos = {};
    file.read(reinterpret_cast<char*>(&dos), sizeof dos);
    file.seekg(dos.e_lfanew + 4);
    IMAGE_FILE_HEADER header = {};
    file.read(reinterpret_cast<char*>(&header), sizeof header);
    if (!file) return "unreadable";
    if (header.Machine == IMAGE_FILE_MACHINE_AMD64) return "amd64";
    if (header.Machine == IMAGE_FILE_MACHINE_I386) return "x86";
    return "machine " + std::to_string(header.Machine);
}

// The value of `attribute` in the first `element` of the manifest.
std::string Attribute(const std::string& xml, const std::string& element, const std::string& attribute) {
    const size_t start = xml.find("<" + element + " ");
    if (start == std::string::npos) return "<no " + element + ">";
    const size_t end = xml.find('>', start);
    const size_t at = xml.find(" " + attribute + "=\"", start);
    if (at == std::string::npos || at > end) return "<no " + attribute + ">";
    const size_t value = at + attribute.size() + 3;
    return xml.substr(value, xml.find('"', value) - value);
}

// The text inside the first `element`, or a text saying it is missing.
std::string ElementText(const std::string& xml, const std::string& element) {
    const size_t start = xml.find("<" + element + " ");
    if (start == std::string::npos) return "<no " + element + ">";
    const size_t text = xml.find('>', start) + 1;
    return xml.substr(text, xml.find('<', text) - text);
}

// Windows reads each setting only in its own namespace; Windows 10 1607 knows PerMonitor but
// not yet PerMonitorV2, Windows 7 to 8.1 only dpiAware ("true/pm" is per monitor on 8.1, system
// aware before). The tools are console programs and draw nothing.
TEST(Manifest, ThePanelIsPerMonitorDpiAwareWithFallbacksAndTheToolsSayNothing) {
    for (const ShippedProgram& program : kShippedPrograms) {
        SCOPED_TRACE(program.name);
        const std::string xml = EmbeddedManifest(BuildTree() + "\\" + program.path);
        ASSERT_FALSE(xml.empty());
        const bool panel = std::string(program.name) == "quorvex";
        EXPECT_EQ(ElementText(xml, "dpiAwareness"), panel ? "PerMonitorV2, PerMonitor" : "<no dpiAwareness>");
        EXPECT_EQ(ElementText(xml, "dpiAware"), panel ? "true/pm" : "<no dpiAware>");
        if (!panel) continue;
        EXPECT_EQ(Attribute(xml, "dpiAwareness", "xmlns"), "http://schemas.microsoft.com/SMI/2016/WindowsSettings");
        EXPECT_EQ(Attribute(xml, "dpiAware", "xmlns"), "http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    }
}

TEST(Manifest, EveryShippedProgramDeclaresItsArchitectureAsInvokerAndWindows7To11) {
    const struct {
        const char* system;
        const char* id;
    } supported[] = {
        {"Windows 7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
        {"Windows 8", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"},
        {"Windows 8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
        {"Windows 10 and 11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    };
    for (const ShippedProgram& program : kShippedPrograms) {
        SCOPED_TRACE(program.name);
        const std::string path = BuildTree() + "\\" + program.path;
        const std::string xml = EmbeddedManifest(path);
        ASSERT_FALSE(xml.empty()) << "no manifest in " << path;
        EXPECT_EQ(Attribute(xml, "assemblyIdentity", "processorArchitecture"), ArchitectureOf(path));
        EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "level"), "asInvoker");
        EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "uiAccess"), "false");
        for (const auto& os : supported)
            EXPECT_NE(xml.find(std::string("<supportedOS Id=\"") + os.id + "\"/>"), std::string::npos) << os.system;
    }
}

}  // namespace
