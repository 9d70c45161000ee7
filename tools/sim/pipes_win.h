// The server ends of one device's pipe pair, with overlapped I/O so that every wait has a time-out.
#pragma once
#include <windows.h>

#include <string>

#include "link/pipe_server_io_win.h"
#include "tools/sim/options.h"
#include "tools/sim/peer_link.h"

class PipePair : public PeerLink {
public:
    PipePair() = default;
    PipePair(const PipePair&) = delete;
    PipePair& operator=(const PipePair&) = delete;
    ~PipePair() override;

    // Creates the options' device's pipes as the panel names them: "\\.\pipe\QuorvexRead<device>" (we
    // write) and "\\.\pipe\QuorvexWrite<device>" (we read), refusing remote clients unless the options
    // allow them. Returns 0 or a text id; `detail` gets the pipe name and the Win32 error.
    unsigned Create(const SimOptions& options, std::string& detail);
    const std::string& ReadPipeName() const { return readName_; }
    const std::string& WritePipeName() const { return writeName_; }
    // One pipe opened by a client, the other not (yet).
    bool HalfConnected() const { return display_.connected != commands_.connected; }

    LinkStatus WaitConnected(uint32_t timeoutMs) override;
    LinkStatus Send(std::string_view bytes, uint32_t timeoutMs) override;
    LinkStatus Receive(std::string& appendTo, uint32_t timeoutMs) override;
    void Close() override;
    // Code 22 to a connected panel: a control that ends by its time limit says so, so that the
    // panel closes at once instead of at its next command.
    void SendExitNotice();

private:
    struct End {
        HANDLE pipe = INVALID_HANDLE_VALUE;
        pipe_server::OverlappedIo connect;  // pending while no client has come
        bool connected = false;
    };
    unsigned CreateEnd(End& end, const std::string& name, DWORD access, bool allowRemote, std::string& detail);
    bool Relisten(End& end);
    // Finishes the connects that completed; false when one failed.
    bool Harvest();
    static bool ClientGone(const End& end);

    End display_;   // the panel reads it
    End commands_;  // the panel writes it
    // A read that timed out stays pending into readBuffer_, so that no byte is lost between calls.
    char readBuffer_[2048];
    pipe_server::OverlappedIo read_;
    pipe_server::OverlappedIo write_;
    bool closed_ = false;
    std::string readName_;
    std::string writeName_;
};
