// The result of a headless run for CI: a JUnit XML report (one test case for the script) and
// one JSON object. Every text is written as printable ASCII, so both are valid whatever bytes a
// script or a screen held.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/headless/headless_runner.h"

enum class RunOutcome { Passed, Failed, Error };

struct RunReport {
    std::string script;  // the script's path as given
    RunOutcome outcome = RunOutcome::Error;
    int exitStatus = 2;
    size_t steps = 0;
    uint64_t timeMs = 0;
    std::string connection;   // "LOCAL - Quorvex; Connected to device 2", or "" before connecting
    int line = 0;             // Failed: the script line of the step
    std::string expectation;  // Failed: the step, "line 12: expect-exit"
    std::string message;      // Passed: the summary; Failed: why; Error: every problem, one a line
    bool hasScreen = false;
    ScreenCopy screen;              // the screen at the end, when connected
    std::vector<std::string> log;   // the step lines
};

std::string JunitXml(const RunReport& report);
// One line, ending in a line break.
std::string JsonObject(const RunReport& report);

// The escaped forms, shared with the fuzz target that reads them back. In an attribute a line
// break is written as a character reference; in an element's text it stays.
std::string XmlEscaped(const std::string& text, bool attribute);
std::string JsonString(const std::string& text);
