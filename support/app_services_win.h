// The process-wide service object: texts from the string table through the scratch ring,
// the four report boxes with their gate, status panes, help and the command line.
// Help: WinHelp when a .HLP file is beside the program, else the operator's guide (.html) with
// the system's default program, else an error box naming the guide's path.
#pragma once
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdint>
#include <memory>

#include "support/report_kinds.h"
#include "support/scratch_ring.h"

class StatusBar;
class Window;

// A report made ready with the services and shown without them: its texts, its owner and its
// own handle on the box gate are copies, so a thread may show it after the services are gone
// (the reader's exit notice, while a close deletes them).
class ReadyReport {
public:
    ReadyReport() = default;
    ~ReadyReport();
    ReadyReport(const ReadyReport&) = delete;
    ReadyReport& operator=(const ReadyReport&) = delete;

    bool Ready() const { return ready_; }
    // Beeps and shows the box (then posts the close a fatal report asks for); nothing when it was
    // not made ready, when another thread holds the gate, or when its owner's window is gone.
    void Show();

private:
    friend class AppServices;
    static constexpr int kTextCapacity = 256;

    bool ready_ = false;
    HANDLE gate_ = nullptr;  // none for the fatal box, which takes no gate
    HWND owner_ = nullptr;
    UINT icon_ = 0;
    bool needsOwnerWindow_ = true;
    bool postsClose_ = false;
    char title_[kTextCapacity] = {};
    char message_[kTextCapacity] = {};
};

class AppServices {
public:
    // Always yields an object; a failed step leaves it partly set up. The owner is the main
    // window object, whose window does not exist yet at this point: its handle is read at
    // report time (owner->Handle(), checked with IsWindow).
    AppServices(Window* owner, StatusBar* statusBar);
    ~AppServices();
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    const char* LoadText(unsigned textId);
    char* AllocScratch(int32_t size);

    void ShowNotice(HWND owner, unsigned textId);
    // The notice ShowNotice would show, into a fresh report, to be shown later by report.Show().
    void PrepareNotice(HWND owner, unsigned textId, ReadyReport& report);
    void ShowError(HWND owner, unsigned textId, unsigned objectNameId);
    void ShowInternalError(HWND owner, unsigned textId, unsigned objectNameId);
    void ShowFatalError(HWND owner, unsigned textId, unsigned objectNameId);
    // An error box whose format's "%s" receives `name` instead of an object's name.
    void ShowErrorNaming(HWND owner, unsigned textId, const char* name);

    void SetStatusText(int index, const char* text);
    int ShowHelp(unsigned contextId);

    int GetArgCount() const;
    const char* GetArg(int index);

    const char* HelpPath() const;
    const char* GuidePath() const;

    // WinHelpA and ShellExecuteExA by default; tests put recorders in their place.
    using HelpFunction = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
    void SetHelpFunction(HelpFunction function) { help_ = function; }
    using OpenFunction = BOOL(WINAPI*)(SHELLEXECUTEINFOA*);
    void SetOpenFunction(OpenFunction function) { open_ = function; }

    const ScratchRing& Scratch() const { return scratch_; }

private:
    static constexpr int32_t PieceSize = 255;

    // `name`, when given, is formatted in place of the object name's text.
    void Report(ReportKind kind, HWND given, unsigned textId, unsigned objectNameId, const char* name = nullptr);
    void Prepare(ReportKind kind, HWND given, unsigned textId, unsigned objectNameId, const char* name,
                 ReadyReport& report);
    bool OpenGuide(HWND owner);
    // A report's own text; its absence is not reported again.
    const char* LoadQuietly(unsigned textId);

    HANDLE gate_ = nullptr;
    Window* owner_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    ScratchRing scratch_;
    std::unique_ptr<char[]> helpPath_;
    std::unique_ptr<char[]> guidePath_;
    HelpFunction help_ = WinHelpA;
    OpenFunction open_ = ShellExecuteExA;
};

// Null outside the main window's lifetime.
extern AppServices* g_appServices;
