// The platform's side of a bounded thread stop: breaking the thread's blocked read or write and
// waiting for its end.
#pragma once
#include <windows.h>

#include "link/stop_state.h"

class ThreadStopper final : public StopPlatform {
public:
    explicit ThreadStopper(HANDLE thread) : thread_(thread) {}
    void CancelBlockedIo() override { CancelSynchronousIo(thread_); }
    bool WaitForExit(int32_t ms) override {
        return WaitForSingleObject(thread_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
    }
    uint32_t NowMilliseconds() override { return GetTickCount(); }

private:
    HANDLE thread_;
};
