// The process-wide service object: texts from the string table through the scratch ring,
// the four report boxes with their gate, status panes, help and the command line.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "support/report_kinds.h"
#include "support/scratch_ring.h"

class StatusBar;
class Window;

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
    void ShowError(HWND owner, unsigned textId, unsigned objectNameId);
    void ShowInternalError(HWND owner, unsigned textId, unsigned objectNameId);
    void ShowFatalError(HWND owner, unsigned textId, unsigned objectNameId);

    void SetStatusText(int index, const char* text);
    int ShowHelp(unsigned contextId);

    int GetArgCount() const;
    const char* GetArg(int index);

    const char* HelpPath() const;

    // WinHelpA by default; tests put a recorder in its place.
    using HelpFunction = BOOL(WINAPI*)(HWND, LPCSTR, UINT, ULONG_PTR);
    void SetHelpFunction(HelpFunction function) { help_ = function; }

    const ScratchRing& Scratch() const { return scratch_; }

private:
    static constexpr int32_t PieceSize = 255;

    void Report(ReportKind kind, HWND given, unsigned textId, unsigned objectNameId);
    // A report's own text; its absence is not reported again.
    const char* LoadQuietly(unsigned textId);

    HANDLE gate_ = nullptr;
    Window* owner_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    ScratchRing scratch_;
    std::unique_ptr<char[]> helpPath_;
    HelpFunction help_ = WinHelpA;
};

// Null outside the main window's lifetime.
extern AppServices* g_appServices;
