// The connection step without the platform: command-line choice, network access, probing the
// numbered pipe pairs, starting the reader and reporting the result, over an injected interface.
#pragma once
#include <cstdint>

namespace connect_logic {

constexpr int kNameCapacity = 33;  // 32 characters and the terminating zero
constexpr int kFirstDevice = 2;
constexpr int kLastDevice = 14;

// The target computer settled before probing; edited by the Connect To dialog.
struct ConnectionChoice {
    int remote = 0;
    char computerName[kNameCapacity] = {};
};

using PipeHandle = void*;  // null when an open failed

enum class PipeAccess { Read, Write };

class ConnectPlatform {
public:
    virtual ~ConnectPlatform() = default;

    virtual int GetArgCount() = 0;
    virtual const char* GetArg(int index) = 0;
    // Pipe name formats of the string table; null when unavailable.
    virtual const char* LoadText(unsigned textId) = 0;

    // True when the dialog ended with OK; it may change the choice.
    virtual bool ShowConnectDialog(ConnectionChoice& choice) = 0;
    // Access with the current user's rights, no dialog.
    virtual bool AddNetworkConnection(const char* remoteName) = 0;
    // True when the operator obtained access through the dialog.
    virtual bool ShowPasswordDialog(const char* remoteName) = 0;
    // Whether this logon already has a connection to the remote name; true when it cannot tell.
    virtual bool NetworkConnectionExists(const char* remoteName) = 0;
    // The connection was made for this link: the link cancels it when it closes.
    virtual void KeepNetworkConnection(const char* remoteName) = 0;

    virtual PipeHandle OpenPipe(const char* name, PipeAccess access) = 0;
    virtual void ClosePipe(PipeHandle pipe) = 0;
    // Hands both pipes to the reader; false when it could not start (the pipes stay with the caller).
    virtual bool StartReader(PipeHandle readPipe, PipeHandle writePipe) = 0;

    virtual void SetBusy(bool busy) = 0;
    virtual void SetStatusText(int index, const char* text) = 0;
    virtual void SetTitle(const char* text) = 0;
};

// What the command line asks for: a choice to use at once, or the dialog with a preset.
struct CommandLineChoice {
    bool showDialog = true;
    ConnectionChoice choice;
};
CommandLineChoice ChooseFromCommandLine(ConnectPlatform& platform);

// The whole connection step; 0 on success with *connectedLocally set, else a text id and the
// flag as it was. The flag is set before the reader starts (thread creation publishes it to the
// reader) and not written again. Every pipe it opened is closed again on failure. The choice,
// once settled (from the command line or the dialog's OK), goes to *settled when given.
unsigned Connect(ConnectPlatform& platform, int* connectedLocally, ConnectionChoice* settled = nullptr);
// The step after the choice: network access, the probe of the devices, the reader, the report.
unsigned ConnectTo(ConnectPlatform& platform, const ConnectionChoice& choice, int* connectedLocally);
// The target's half of the report: pane 1 ("LOCAL" or the computer name) and the title.
void ReportTarget(ConnectPlatform& platform, const ConnectionChoice& choice);

constexpr int kPipeNameCapacity = 160;
constexpr char kLocalComputerPart[] = ".";
// The name of one side of a device's pipe pair on a computer (kLocalComputerPart: this one),
// from the string table's format; null or empty: the built-in format, the same text. Every pipe
// of the control's, served or opened, is named here.
void FormatPipeName(PipeAccess side, const char* format, const char* computerPart, int device,
                    char (&out)[kPipeNameCapacity]);

// "\\%s" with the computer name.
void FormatRemoteName(const char* computerName, char* out, int capacity);

}  // namespace connect_logic
