// A scripted connection platform for the connection-step tests: arguments, dialog answers,
// which pipe names open, and a log of every call in order.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/connect_logic.h"
#include "support/text_ids.h"

class FakeConnectPlatform : public connect_logic::ConnectPlatform {
public:
    std::vector<std::string> args{"quorvex.exe"};
    bool dialogOk = true;
    // Applied by the dialog when it ends with OK.
    int dialogRemote = 0;
    std::string dialogName;
    bool silentAccess = true;
    bool passwordOk = true;
    bool connectionExisted = false;
    std::vector<std::string> kept;  // connections handed to the link to cancel
    bool readerStarts = true;
    bool textsAvailable = true;
    std::set<std::string> openable;

    std::vector<std::string> log;
    connect_logic::ConnectionChoice dialogSaw;
    int dialogShown = 0;
    int busyDepth = 0;
    int maxBusyDepth = 0;
    std::map<std::string, std::string> status;
    std::string title;
    std::set<connect_logic::PipeHandle> openHandles;
    std::vector<connect_logic::PipeHandle> readerPipes;
    // The connected-locally flag as the reader would find it when it starts.
    const int* watchedFlag = nullptr;
    int flagAtReaderStart = -1;

    int GetArgCount() override {
        log.push_back("count");
        return static_cast<int>(args.size());
    }
    const char* GetArg(int index) override {
        log.push_back("arg " + std::to_string(index));
        if (index < 0 || index >= static_cast<int>(args.size())) {
            log.push_back("usage error");
            return nullptr;
        }
        return args[static_cast<size_t>(index)].c_str();
    }
    const char* LoadText(unsigned textId) override {
        if (!textsAvailable) return nullptr;
        if (textId == text_id::ReadPipeFormat) return "\\\\%s\\pipe\\QuorvexRead%d";
        if (textId == text_id::WritePipeFormat) return "\\\\%s\\pipe\\QuorvexWrite%d";
        return nullptr;
    }
    bool ShowConnectDialog(connect_logic::ConnectionChoice& choice) override {
        ++dialogShown;
        dialogSaw = choice;
        log.push_back("connect dialog");
        if (!dialogOk) return false;
        choice.remote = dialogRemote;
        snprintf(choice.computerName, sizeof(choice.computerName), "%s", dialogName.c_str());
        return true;
    }
    bool AddNetworkConnection(const char* remoteName) override {
        log.push_back(std::string("silent ") + remoteName + Busy());
        return silentAccess;
    }
    bool ShowPasswordDialog(const char* remoteName) override {
        log.push_back(std::string("password ") + remoteName + Busy());
        return passwordOk;
    }
    bool NetworkConnectionExists(const char*) override { return connectionExisted; }
    void KeepNetworkConnection(const char* remoteName) override { kept.push_back(remoteName); }
    connect_logic::PipeHandle OpenPipe(const char* name, connect_logic::PipeAccess access) override {
        const bool read = access == connect_logic::PipeAccess::Read;
        log.push_back(std::string(read ? "open read " : "open write ") + name + Busy());
        if (!openable.count(name)) return nullptr;
        auto* handle = reinterpret_cast<connect_logic::PipeHandle>(static_cast<uintptr_t>(++nextHandle_));
        openHandles.insert(handle);
        return handle;
    }
    void ClosePipe(connect_logic::PipeHandle pipe) override {
        log.push_back("close " + std::to_string(reinterpret_cast<uintptr_t>(pipe)));
        openHandles.erase(pipe);
    }
    bool StartReader(connect_logic::PipeHandle readPipe, connect_logic::PipeHandle writePipe) override {
        log.push_back("start reader");
        if (watchedFlag) flagAtReaderStart = *watchedFlag;
        if (!readerStarts) return false;
        readerPipes = {readPipe, writePipe};
        return true;
    }
    void SetBusy(bool busy) override {
        log.push_back(busy ? "busy on" : "busy off");
        busyDepth += busy ? 1 : -1;
        if (busyDepth > maxBusyDepth) maxBusyDepth = busyDepth;
    }
    void SetStatusText(int index, const char* text) override {
        log.push_back("status " + std::to_string(index) + " " + text);
        status[std::to_string(index)] = text;
    }
    void SetTitle(const char* text) override {
        log.push_back(std::string("title ") + text);
        title = text;
    }

    size_t Count(const std::string& prefix) const {
        size_t n = 0;
        for (const std::string& entry : log)
            if (entry.compare(0, prefix.size(), prefix) == 0) ++n;
        return n;
    }

private:
    std::string Busy() const { return busyDepth > 0 ? " (busy)" : ""; }
    int nextHandle_ = 100;
};

inline std::string LocalRead(int device) { return "\\\\.\\pipe\\QuorvexRead" + std::to_string(device); }
inline std::string LocalWrite(int device) { return "\\\\.\\pipe\\QuorvexWrite" + std::to_string(device); }
