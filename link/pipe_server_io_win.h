// Bounded overlapped I/O on a server end: the simulator, the tap and the tests' peers connect,
// read and write through here, so that no wait outlasts its bounds and no operation that was
// given up stays pending on a buffer that goes away.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace pipe_server {

enum class IoOutcome { Done, Failed, TimedOut, Stopped };

// How long one wait may last.
struct IoBounds {
    DWORD timeoutMs = INFINITE;
    HANDLE stop = nullptr;  // once set, the wait ends Stopped
    // Asked every pollMs while waiting (when given); false ends the wait TimedOut.
    std::function<bool()> keepWaiting = nullptr;
    DWORD pollMs = 100;
};

// One overlapped operation at a time on a server end, with an event of its own. The buffer of a
// read or write must stay until the operation is taken by Wait, cancelled, or this object is gone.
class OverlappedIo {
public:
    OverlappedIo();
    // Cancels what is still pending and waits until the system has let go of it.
    ~OverlappedIo();
    OverlappedIo(const OverlappedIo&) = delete;
    OverlappedIo& operator=(const OverlappedIo&) = delete;

    // False when the operation failed at once (LastError says why). A client that opened before
    // the connect, even one that closed again since, is a connection.
    bool StartConnect(HANDLE pipe);
    bool StartRead(HANDLE pipe, void* buffer, DWORD capacity);
    bool StartWrite(HANDLE pipe, const void* bytes, DWORD count);

    // Started and not yet taken by Wait or Cancel.
    bool Pending() const { return pipe_ != nullptr; }
    // Whether the pending operation has finished, without waiting or taking it.
    bool Ready() const;
    // Set once the pending operation has finished, for a wait on several at once.
    HANDLE Event() const { return event_; }
    // Done and Failed take the operation (*count: the bytes it moved; Failed with ERROR_MORE_DATA
    // is a read that took part of a message). TimedOut and Stopped leave it pending, to be waited
    // for again or cancelled. Nothing pending: Failed.
    IoOutcome Wait(const IoBounds& bounds, DWORD* count = nullptr);
    // What a wait gave, with the operation it left pending ended: cancelled, or, when the cancel
    // came too late, taken as finished (a read's bytes are then in the buffer and counted).
    IoOutcome Settle(IoOutcome waited, DWORD* count = nullptr);
    // Ends the pending operation, whatever it did: for a buffer about to go.
    void Cancel() { Settle(IoOutcome::Stopped); }

    // Started, waited for within the bounds and cancelled when not finished.
    IoOutcome Connect(HANDLE pipe, const IoBounds& bounds);
    IoOutcome Read(HANDLE pipe, void* buffer, DWORD capacity, DWORD* got, const IoBounds& bounds);
    // Every byte, in as many writes as it takes, all within the one time.
    IoOutcome WriteAll(HANDLE pipe, const void* bytes, DWORD count, const IoBounds& bounds);
    // Reads until `want` bytes have come, all within the one time; what came is appended.
    IoOutcome ReadUpTo(HANDLE pipe, size_t want, std::string& appendTo, const IoBounds& bounds);

    // The Win32 error of the last failure.
    DWORD LastError() const { return error_; }

private:
    bool Begin();
    bool Started(HANDLE pipe, BOOL ok, DWORD alsoStarted = ERROR_IO_PENDING);
    IoOutcome WaitUntil(const IoBounds& bounds, ULONGLONG deadline, DWORD* count);
    IoOutcome Take(DWORD* count);

    HANDLE event_;
    OVERLAPPED overlapped_ = {};
    HANDLE pipe_ = nullptr;   // the pipe of the pending operation
    bool doneAtOnce_ = false;  // a connect that found its client: the system holds nothing
    DWORD error_ = 0;
};

}  // namespace pipe_server
