// The headless run's JUnit and JSON forms: one test case per script, the failure with its line,
// expectation and screen, and any byte of a script or a screen written as printable escapes. The
// forms are also left in the build folder for report_check.py, which reads them with Python's
// XML and JSON parsers.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tools/headless/headless_report.h"

namespace {
RunReport FailedRun() {
    RunReport r;
    r.script = "scripts\\odd <name> & \"quotes\"\x01.txt";
    r.outcome = RunOutcome::Failed;
    r.exitStatus = 1;
    r.steps = 12;
    r.timeMs = 5432;
    r.connection = "LOCAL - Quorvex; Connected to device 2";
    r.line = 12;
    r.expectation = "line 12: expect-exit";
    r.message = "line 12: expect-exit failed: no exit notice after 5000 ms";
    r.hasScreen = true;
    for (std::string& line : r.screen.lines) line = std::string(screen::Columns, ' ');
    r.screen.lines[0] = "MAIN MENU <&>\"'\x7f\xff]]>";
    r.screen.row = 0;
    r.screen.column = 40;
    r.log = {"line 1: expect \"MAIN MENU\": held after 12 ms"};
    return r;
}

void Leave(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
}

TEST(HeadlessReport, JunitHoldsOneCaseWithTheFailureItsLineExpectationAndScreen) {
    const RunReport failed = FailedRun();
    const std::string xml = JunitXml(failed);
    Leave("headless_report_failed.xml", xml);
    for (const char* part : {
             "<testsuites tests=\"1\" failures=\"1\" errors=\"0\" time=\"5.432\">",
             "<testcase classname=\"quorvex-headless\" name=\"odd &lt;name&gt; &amp; &quot;quotes&quot;\\x01.txt\"",
             "<failure message=\"line 12: expect-exit failed: no exit notice after 5000 ms\" type=\"expectation\">"
             "line 12: expect-exit\n",
             "screen:\nMAIN MENU &lt;&amp;&gt;&quot;&apos;\\x7F\\xFF]]&gt;",
             "cursor line 1 column 41\n</failure>",
             "<system-out>connected: LOCAL - Quorvex; Connected to device 2\nline 1: expect &quot;MAIN MENU&quot;",
         })
        EXPECT_NE(xml.find(part), std::string::npos) << part << "\n" << xml;
    for (char c : xml) EXPECT_TRUE((c >= 0x20 && c <= 0x7E) || c == '\n') << static_cast<int>(c);

    RunReport passed = FailedRun();
    passed.outcome = RunOutcome::Passed;
    passed.exitStatus = 0;
    passed.message = "script passed: 12 steps";
    const std::string ok = JunitXml(passed);
    Leave("headless_report_passed.xml", ok);
    EXPECT_EQ(ok.find("<failure"), std::string::npos);
    EXPECT_NE(ok.find("failures=\"0\" errors=\"0\""), std::string::npos);

    RunReport error;
    error.script = "bad.txt";
    error.message = "bad.txt line 1: no key has this legend\nbad.txt line 3: unknown command";
    const std::string broken = JunitXml(error);
    Leave("headless_report_error.xml", broken);
    EXPECT_NE(broken.find("<error message=\"bad.txt line 1: no key has this legend\" type=\"setup\">"),
              std::string::npos)
        << broken;
}

TEST(HeadlessReport, JsonIsOneObjectOnOneLine) {
    const std::string json = JsonObject(FailedRun());
    Leave("headless_report_failed.json", json);
    EXPECT_EQ(json.find('\n'), json.size() - 1);
    for (const char* part : {"{\"script\":\"scripts\\\\odd <name> & \\\"quotes\\\"\\\\x01.txt\",\"result\":\"failed\","
                             "\"exit\":1,\"steps\":12,\"timeMs\":5432,",
                             ",\"line\":12,\"expectation\":\"line 12: expect-exit\",",
                             "\"screen\":[\"MAIN MENU <&>\\\"'\\\\x7F\\\\xFF]]>",
                             "\"cursor\":[0,40],\"log\":[\"line 1: expect \\\"MAIN MENU\\\": held after 12 ms\"]}"})
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    RunReport error;
    error.script = "empty.txt";
    error.message = "empty.txt: the script has no steps";
    const std::string broken = JsonObject(error);
    Leave("headless_report_error.json", broken);
    EXPECT_EQ(broken, "{\"script\":\"empty.txt\",\"result\":\"error\",\"exit\":2,\"steps\":0,\"timeMs\":0,"
                      "\"connection\":\"\",\"message\":\"empty.txt: the script has no steps\",\"log\":[]}\n");
}
}  // namespace
