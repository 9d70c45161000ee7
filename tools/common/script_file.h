// Reading the files a tool is told to read as scripts (scripts, screen files): only regular
// files, never a device that would block or answer for ever.
#pragma once
#include <string>
#include <string_view>

// True when the last part of the path is a Windows device name (CON, PRN, AUX, NUL, COM1..COM9,
// LPT1..LPT9, CONIN$, CONOUT$), in any case and with any extension: "aux.txt" opens the device.
bool IsDeviceName(std::string_view path);

// Reads a whole file. Returns 0, or the text id for a path that is not a regular file or that
// cannot be read.
unsigned ReadScriptFile(const std::string& path, std::string& content);
