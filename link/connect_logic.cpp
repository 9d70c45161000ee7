// The connection step: which computer, network access, probing devices 2..14, reader start, report.
#include "link/connect_logic.h"

#include <cstdio>
#include <cstring>

#include "link/connect_name.h"
#include "support/text_ids.h"

namespace connect_logic {
namespace {

enum class ArgMeaning { Local, Remote };

struct ArgRule {
    const char* text;
    ArgMeaning meaning;
};

constexpr ArgRule kArgRules[] = {
    {"-l", ArgMeaning::Local},
    {"-L", ArgMeaning::Local},
    {"-r", ArgMeaning::Remote},
    {"-R", ArgMeaning::Remote},
};

enum class ProbeAction { NextDevice, CloseWriteReadDenied, CloseReadWriteDenied, Use };

// Indexed by (read opened) * 2 + (write opened).
constexpr ProbeAction kProbeActions[4] = {
    ProbeAction::NextDevice,
    ProbeAction::CloseWriteReadDenied,
    ProbeAction::CloseReadWriteDenied,
    ProbeAction::Use,
};

struct PipeFormat {
    unsigned textId;
    const char* fallback;
};

constexpr PipeFormat kReadFormat = {text_id::ReadPipeFormat, "\\\\%s\\pipe\\QuorvexRead%d"};
constexpr PipeFormat kWriteFormat = {text_id::WritePipeFormat, "\\\\%s\\pipe\\QuorvexWrite%d"};

const PipeFormat& FormatOf(PipeAccess side) { return side == PipeAccess::Read ? kReadFormat : kWriteFormat; }

constexpr char kLocalLabel[] = "LOCAL";
constexpr char kTitleSuffix[] = " - Quorvex";
constexpr char kDeviceStatus[] = "Connected to device %d";

const ArgRule* FindRule(const char* arg) {
    if (!arg) return nullptr;
    for (const ArgRule& rule : kArgRules)
        if (std::strcmp(rule.text, arg) == 0) return &rule;
    return nullptr;
}

void LoadPipeName(ConnectPlatform& platform, PipeAccess side, const char* computerPart, int device,
                  char (&out)[kPipeNameCapacity]) {
    FormatPipeName(side, platform.LoadText(FormatOf(side).textId), computerPart, device, out);
}

// Network access to a remote computer: silently first, then through the dialog. A connection
// the panel makes is the link's to cancel, so that typed credentials do not outlive it; one
// that was there before stays, and so does a silent one where that cannot be told.
bool ObtainAccess(ConnectPlatform& platform, const ConnectionChoice& choice) {
    char remoteName[kNameCapacity + 2];
    FormatRemoteName(choice.computerName, remoteName, sizeof(remoteName));
    const bool existed = platform.NetworkConnectionExists(remoteName);
    if (platform.AddNetworkConnection(remoteName)) {
        if (!existed) platform.KeepNetworkConnection(remoteName);
        return true;
    }
    if (!platform.ShowPasswordDialog(remoteName)) return false;
    platform.KeepNetworkConnection(remoteName);
    return true;
}

struct ProbeResult {
    unsigned textId;
    int device;
    PipeHandle readPipe;
    PipeHandle writePipe;
};

ProbeResult Probe(ConnectPlatform& platform, const char* computerPart) {
    for (int device = kFirstDevice; device <= kLastDevice; ++device) {
        char readName[kPipeNameCapacity];
        char writeName[kPipeNameCapacity];
        LoadPipeName(platform, PipeAccess::Read, computerPart, device, readName);
        LoadPipeName(platform, PipeAccess::Write, computerPart, device, writeName);
        platform.SetBusy(true);
        PipeHandle readPipe = platform.OpenPipe(readName, PipeAccess::Read);
        PipeHandle writePipe = platform.OpenPipe(writeName, PipeAccess::Write);
        platform.SetBusy(false);
        switch (kProbeActions[(readPipe ? 2 : 0) + (writePipe ? 1 : 0)]) {
            case ProbeAction::NextDevice:
                break;
            case ProbeAction::CloseWriteReadDenied:
                platform.ClosePipe(writePipe);
                return {text_id::ReadAccessDenied, device, nullptr, nullptr};
            case ProbeAction::CloseReadWriteDenied:
                platform.ClosePipe(readPipe);
                return {text_id::WriteAccessDenied, device, nullptr, nullptr};
            case ProbeAction::Use:
                return {0, device, readPipe, writePipe};
        }
    }
    return {text_id::NoPipeDevice, 0, nullptr, nullptr};
}

void Report(ConnectPlatform& platform, const ConnectionChoice& choice, int device) {
    ReportTarget(platform, choice);
    char status[sizeof(kDeviceStatus) + 12];
    std::snprintf(status, sizeof(status), kDeviceStatus, device);
    platform.SetStatusText(1, status);
}

}  // namespace

void ReportTarget(ConnectPlatform& platform, const ConnectionChoice& choice) {
    const char* label = choice.remote ? choice.computerName : kLocalLabel;
    platform.SetStatusText(0, label);
    char title[kNameCapacity + sizeof(kTitleSuffix)];
    std::snprintf(title, sizeof(title), "%s%s", label, kTitleSuffix);
    platform.SetTitle(title);
}

void FormatPipeName(PipeAccess side, const char* format, const char* computerPart, int device,
                    char (&out)[kPipeNameCapacity]) {
    std::snprintf(out, sizeof out, format && *format ? format : FormatOf(side).fallback, computerPart, device);
}

void FormatRemoteName(const char* computerName, char* out, int capacity) {
    if (capacity <= 0) return;
    std::snprintf(out, static_cast<size_t>(capacity), "\\\\%s", computerName ? computerName : "");
}

CommandLineChoice ChooseFromCommandLine(ConnectPlatform& platform) {
    CommandLineChoice result;
    // The count is checked before any argument is read: reading a missing one is a usage error.
    const int count = platform.GetArgCount();
    if (count < 2) return result;
    const ArgRule* rule = FindRule(platform.GetArg(1));
    if (!rule) return result;
    if (rule->meaning == ArgMeaning::Local) {
        result.showDialog = false;
        return result;
    }
    result.choice.remote = 1;
    if (count < 3) return result;
    // A name that is not a computer's is not copied, not even in part: the dialog asks again.
    const char* name = platform.GetArg(2);
    if (!IsComputerName(name)) return result;
    std::memcpy(result.choice.computerName, name, std::strlen(name) + 1);
    result.showDialog = false;
    return result;
}

unsigned Connect(ConnectPlatform& platform, int* connectedLocally, ConnectionChoice* settled) {
    CommandLineChoice start = ChooseFromCommandLine(platform);
    ConnectionChoice& choice = start.choice;
    if (start.showDialog && !platform.ShowConnectDialog(choice)) return text_id::NoSelection;
    // The dialog refuses such names itself; none is ever made into a pipe or network name.
    if (choice.remote && !IsComputerName(choice.computerName)) return text_id::BadComputerName;
    if (settled) *settled = choice;
    return ConnectTo(platform, choice, connectedLocally);
}

unsigned ConnectTo(ConnectPlatform& platform, const ConnectionChoice& choice, int* connectedLocally) {
    platform.SetBusy(true);
    if (choice.remote && !ObtainAccess(platform, choice)) {
        platform.SetBusy(false);
        return text_id::RemoteAccessDenied;
    }
    platform.SetBusy(false);

    const ProbeResult probe = Probe(platform, choice.remote ? choice.computerName : kLocalComputerPart);
    if (probe.textId != 0) return probe.textId;

    // The reader may deliver the control's exit at once, which reads the flag: it is set first.
    const int before = connectedLocally ? *connectedLocally : 0;
    if (connectedLocally) *connectedLocally = choice.remote ? 0 : 1;
    if (!platform.StartReader(probe.readPipe, probe.writePipe)) {
        if (connectedLocally) *connectedLocally = before;
        platform.ClosePipe(probe.readPipe);
        platform.ClosePipe(probe.writePipe);
        return text_id::CannotCreateObject;
    }
    Report(platform, choice, probe.device);
    return 0;
}

}  // namespace connect_logic
