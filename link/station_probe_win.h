// One probe of a waiting station, on a thread of the probes' own so that a slow network never
// holds the window: network access with the operator's own rights, devices 2 to 14 probed by the
// connection step itself, and what it found posted back to the window thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>

#include "link/connect_logic.h"
#include "link/network_password_dialog_win.h"

class StationProbe final {
public:
    // What a probe found. The pipes and the kept connection pass to whoever takes the outcome.
    struct Outcome {
        unsigned textId = 0;  // 0: both pipes open; else the connection step's text id
        // Access was refused for a reason that typed credentials may mend (not an unreachable
        // computer or network).
        bool accessNeedsOperator = false;
        connect_logic::PipeHandle readPipe = nullptr;
        connect_logic::PipeHandle writePipe = nullptr;
        int connectedLocally = 0;
        // The report the connection step made, for the window thread to show.
        char paneTexts[2][64] = {};
        char title[64] = {};
        // A network connection this probe made, to be cancelled with the session; empty: none.
        char keptConnection[connect_logic::kNameCapacity + 2] = {};
    };

    // Starts the probe for the choice; `message` is posted to `notify` with the probe as its
    // LPARAM when it is done. Null when no thread can be made. The caller holds one reference,
    // given back by Take or Abandon.
    static StationProbe* Start(const connect_logic::ConnectionChoice& choice, const network_access::Network& network,
                               HWND notify, UINT message);

    // Done, but its message could not be posted: take the outcome without it.
    bool Stranded();
    // On the posted message (or when stranded): the outcome, now the caller's; the caller's reference is given back.
    Outcome Take();
    // The caller will not take the outcome (its window is going): whatever the probe found is
    // closed, now or when its thread ends; the caller's reference is given back.
    void Abandon();

    // Errors of the silent network access that typed credentials cannot mend.
    static bool IsUnreachable(DWORD error);

private:
    StationProbe(const connect_logic::ConnectionChoice& choice, const network_access::Network& network, HWND notify,
                 UINT message)
        : choice_(choice), network_(network), notify_(notify), message_(message) {}
    ~StationProbe() = default;
    class Platform;
    class Runner;

    void Run();
    // Closes the pipes and cancels the kept connection of the outcome still held here.
    void Discard();
    void Release();

    const connect_logic::ConnectionChoice choice_;
    const network_access::Network network_;
    const HWND notify_;
    const UINT message_;
    std::atomic<int> refs_{2};  // the caller's and the probe thread's
    std::mutex mutex_;
    bool done_ = false;       // the thread has finished the outcome
    bool abandoned_ = false;  // nobody will take it
    bool posted_ = false;
    Outcome outcome_;
};
