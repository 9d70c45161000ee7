// The Win32 clock and time of day.
#include "tools/sim/console_win.h"

#include <windows.h>

uint64_t SystemClock::NowMs() { return GetTickCount64(); }

void SystemClock::SleepMs(uint32_t ms) { Sleep(ms); }

int SecondsOfDay() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}
