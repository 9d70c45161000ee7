// Test helpers for the link under Wine: a control-application stand-in that offers numbered
// pipe pairs and a top-level owner window (dialogs are driven with the shared DialogWatcher).
#pragma once
#include <windows.h>

#include <string>

#include "link/control_link_win.h"
#include "link/pipe_server_io_win.h"
#include "tests/support/watchdog_win.h"

// The server side of the pipe pairs; overlapped, so that every wait has a timeout.
class TestPeer {
public:
    enum class Side { Read, Write };  // as the link sees them

    TestPeer() = default;
    TestPeer(const TestPeer&) = delete;
    TestPeer& operator=(const TestPeer&) = delete;
    ~TestPeer();

    // Offers one or both sides of a device; inBuffer sizes the write side's buffer.
    bool Offer(int device, bool readSide, bool writeSide, DWORD inBuffer = 4096);
    // True once a client has opened that side (also when it closed again).
    bool Opened(int device, Side side);
    // Writes to the read side, waiting at most timeoutMs; true when all bytes went.
    bool Send(int device, const std::string& bytes, DWORD timeoutMs = 2000);
    // Reads from the write side until want bytes arrived or timeoutMs passed.
    std::string Receive(int device, size_t want, DWORD timeoutMs = 2000);
    // Bytes waiting unread on the write side.
    DWORD Pending(int device);
    // Closes both server ends of a device, as a control application that ends would.
    void Vanish(int device);

private:
    struct End {
        HANDLE pipe = nullptr;
        pipe_server::OverlappedIo connect;  // never taken: Opened only looks at it
    };
    struct Device {
        End read;   // link reads, peer writes
        End write;  // link writes, peer reads
    };
    static constexpr int kDevices = 16;

    bool Create(End& end, connect_logic::PipeAccess side, int device, DWORD access, DWORD inBuffer);
    static void CloseEnd(End& end);
    Device devices_[kDevices];
};

// A plain top-level window whose title the link sets; events go to the given sink.
class TestLinkOwner : public LinkOwner {
public:
    explicit TestLinkOwner(EventSink* sink);
    ~TestLinkOwner();
    HWND OwnerWindow() const override { return hwnd_; }
    EventSink* DisplaySink() override { return sink_; }
    std::string Title() const;

private:
    HWND hwnd_ = nullptr;
    EventSink* sink_;
};

void ClickButton(HWND dialog, int id);
std::string ItemText(HWND dialog, int id);
