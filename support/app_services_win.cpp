// AppServices on Win32: string-table texts, the report boxes and their gate, status panes,
// help (WinHelp, or the operator's guide in the default program) and the runtime's command line.
#include "support/app_services_win.h"

#include <objbase.h>

#include <cstdlib>

#include "support/arg_index.h"
#include "support/end_status.h"
#include "support/help_path.h"
#include "support/report_format.h"
#include "support/status_bar_win.h"
#include "support/text_ids.h"
#include "support/window_win.h"

AppServices* g_appServices = nullptr;

static_assert(report_kinds::IconInformation == MB_ICONINFORMATION, "icon values");
static_assert(report_kinds::IconExclamation == MB_ICONEXCLAMATION, "icon values");
static_assert(report_kinds::IconHand == MB_ICONHAND, "icon values");

namespace {
const LPCSTR kStringType = MAKEINTRESOURCEA(6);  // RT_STRING

// Depth of quiet text loading on this thread. While a report loads the services' own texts
// (object name, title, and the format when it is one of the services' own messages), a text
// that fails to load is not reported again: that report becomes a no-op instead, so a missing
// 62007 or 62013 cannot make a report raise itself for ever. A caller's missing format is
// reported like any other missing text. It is per thread and covers the loading only, not the
// box: a report raised from inside a box's modal loop is an ordinary report.
thread_local int t_loadingReportTexts = 0;

constexpr unsigned kServiceMessages[] = {text_id::InvalidParameter, text_id::OutOfRange, text_id::UnexpectedState};

bool IsServiceMessage(unsigned textId) {
    for (unsigned id : kServiceMessages)
        if (id == textId) return true;
    return false;
}

struct LoadingReportTexts {
    LoadingReportTexts() { ++t_loadingReportTexts; }
    ~LoadingReportTexts() { --t_loadingReportTexts; }
    LoadingReportTexts(const LoadingReportTexts&) = delete;
    LoadingReportTexts& operator=(const LoadingReportTexts&) = delete;
};

bool Reporting() { return t_loadingReportTexts > 0; }

// The gate is a mutex: the thread already showing a box passes it again.
bool TakeGate(HANDLE gate) {
    const DWORD r = WaitForSingleObject(gate, 0);
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}
}  // namespace

AppServices::AppServices(Window* owner, StatusBar* statusBar) {
    gate_ = CreateMutexA(nullptr, FALSE, nullptr);
    if (!gate_ || !owner || !statusBar) return;
    owner_ = owner;
    statusBar_ = statusBar;
    if (!scratch_.Create()) return;
    char* exePath = scratch_.Alloc(ScratchRing::MaxPiece);
    const DWORD length = GetModuleFileNameA(nullptr, exePath, ScratchRing::MaxPiece);
    if (length == 0) return;
    exePath[ScratchRing::MaxPiece - 1] = '\0';
    helpPath_ = help_path::Make(exePath, help_path::WinHelpExtension);
    guidePath_ = help_path::Make(exePath, help_path::GuideExtension);
}

AppServices::~AppServices() {
    scratch_.Destroy();
    helpPath_.reset();
    guidePath_.reset();
    if (gate_) CloseHandle(gate_);
    gate_ = nullptr;
    owner_ = nullptr;
    statusBar_ = nullptr;
    help_ = nullptr;
    open_ = nullptr;
}

char* AppServices::AllocScratch(int32_t size) {
    ScratchRing::Result result = ScratchRing::Result::Ok;
    char* piece = scratch_.Alloc(size, &result);
    if (result == ScratchRing::Result::BadSize && !Reporting())
        ShowInternalError(nullptr, text_id::OutOfRange, text_id::ObjectSystem);
    return piece;
}

const char* AppServices::LoadText(unsigned textId) {
    char* piece = AllocScratch(PieceSize);
    if (!piece) return nullptr;
    const HMODULE module = GetModuleHandleA(nullptr);
    // String ids are 16-bit; a larger one has no block.
    if (textId > 0xFFFF || !FindResourceA(module, MAKEINTRESOURCEA(textId / 16 + 1), kStringType)) {
        if (!Reporting()) ShowInternalError(nullptr, text_id::InvalidParameter, text_id::ObjectSystem);
        return nullptr;
    }
    if (LoadStringA(module, textId, piece, PieceSize) <= 0) {
        if (!Reporting()) ShowError(nullptr, text_id::UnexpectedState, text_id::ObjectSystem);
        return nullptr;
    }
    return piece;
}

const char* AppServices::LoadQuietly(unsigned textId) {
    LoadingReportTexts loading;
    return LoadText(textId);
}

void AppServices::ShowNotice(HWND owner, unsigned textId) { Report(ReportKind::Notice, owner, textId, 0); }

void AppServices::ShowError(HWND owner, unsigned textId, unsigned objectNameId) {
    Report(ReportKind::Error, owner, textId, objectNameId);
}

void AppServices::ShowInternalError(HWND owner, unsigned textId, unsigned objectNameId) {
    Report(ReportKind::InternalError, owner, textId, objectNameId);
}

void AppServices::ShowFatalError(HWND owner, unsigned textId, unsigned objectNameId) {
    Report(ReportKind::FatalError, owner, textId, objectNameId);
}

void AppServices::ShowErrorNaming(HWND owner, unsigned textId, const char* name) {
    Report(ReportKind::Error, owner, textId, 0, name ? name : "");
}

void AppServices::Report(ReportKind kind, HWND given, unsigned textId, unsigned objectNameId, const char* name) {
    ReadyReport report;
    Prepare(kind, given, textId, objectNameId, name, report);
    report.Show();
}

void AppServices::PrepareNotice(HWND owner, unsigned textId, ReadyReport& report) {
    Prepare(ReportKind::Notice, owner, textId, 0, nullptr, report);
}

void AppServices::Prepare(ReportKind kind, HWND given, unsigned textId, unsigned objectNameId, const char* name,
                          ReadyReport& report) {
    const ReportKindInfo& info = report_kinds::Info(kind);
    if (info.takesGate && !DuplicateHandle(GetCurrentProcess(), gate_, GetCurrentProcess(), &report.gate_, 0, FALSE,
                                           DUPLICATE_SAME_ACCESS)) {
        report.gate_ = nullptr;
        return;
    }
    if (!given && !owner_) return;
    const char* title = nullptr;
    const char* message = nullptr;
    const bool ownMessage = IsServiceMessage(textId);
    if (info.offered == report_format::OffersNothing) {
        title = LoadQuietly(info.titleId);
        if (title) message = ownMessage ? LoadQuietly(textId) : LoadText(textId);
    } else if (const char* format = ownMessage ? LoadQuietly(textId) : LoadText(textId)) {
        if (char* piece = AllocScratch(PieceSize)) {
            const char* objectName = name ? name : LoadQuietly(objectNameId);
            report_format::Format(piece, PieceSize, format, info.offered, objectName, objectNameId, textId);
            message = piece;
            title = LoadQuietly(info.titleId);
        }
    }
    if (!title || !message) return;
    // Copied at once: the ring's pieces are taken again by later texts.
    lstrcpynA(report.title_, title, ReadyReport::kTextCapacity);
    lstrcpynA(report.message_, message, ReadyReport::kTextCapacity);
    report.owner_ = given ? given : owner_->Handle();
    report.icon_ = info.icon;
    report.needsOwnerWindow_ = info.needsOwnerWindow;
    report.postsClose_ = info.postsClose;
    report.ready_ = true;
}

ReadyReport::~ReadyReport() {
    if (gate_) CloseHandle(gate_);
}

void ReadyReport::Show() {
    if (!ready_) return;
    if (gate_ && !TakeGate(gate_)) return;
    if (!needsOwnerWindow_ || IsWindow(owner_)) {
        // Marked before the box: a close that comes while it is up ends the process all the same.
        if (postsClose_) end_status::Mark(end_status::Fatal);
        MessageBeep(icon_);
        MessageBoxA(owner_, message_, title_, MB_OK | icon_);
        if (postsClose_ && owner_) PostMessageA(owner_, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    if (gate_) ReleaseMutex(gate_);
}

void AppServices::SetStatusText(int index, const char* text) {
    if (!statusBar_ || index < -1 || index > 1) return;
    statusBar_->SetPaneText(index + 1, text ? text : "");
}

// WinHelp's engine is gone from current Windows: a .HLP file is used only where one was put
// beside the program; otherwise Help Topics opens the operator's guide.
int AppServices::ShowHelp(unsigned contextId) {
    if (!helpPath_ || !owner_ || !owner_->Exists()) return 0;
    const HWND owner = owner_->Handle();
    const DWORD attributes = GetFileAttributesA(helpPath_.get());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!help_) return 0;
        const UINT command = contextId == 0 ? HELP_FINDER : HELP_CONTEXT;
        return help_(owner, helpPath_.get(), command, contextId);
    }
    if (OpenGuide(owner)) return 1;
    ShowErrorNaming(owner, text_id::GuideNotOpened, guidePath_ ? guidePath_.get() : "");
    return 0;
}

bool AppServices::OpenGuide(HWND owner) {
    if (!guidePath_ || !open_) return false;
    SHELLEXECUTEINFOA open = {};
    open.cbSize = sizeof open;
    // The shell's own error box would come before ours, which names the file.
    open.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    open.hwnd = owner;
    open.lpVerb = "open";
    open.lpFile = guidePath_.get();
    open.nShow = SW_SHOWNORMAL;
    // Some handlers of the default program are COM objects.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const BOOL opened = open_(&open);
    if (SUCCEEDED(com)) CoUninitialize();
    return opened != FALSE;
}

int AppServices::GetArgCount() const { return __argc; }

const char* AppServices::GetArg(int index) {
    if (!ArgIndexValid(index, __argc)) {
        ShowInternalError(nullptr, text_id::OutOfRange, text_id::ObjectSystem);
        return nullptr;
    }
    return __argv[index];
}

const char* AppServices::HelpPath() const { return helpPath_.get(); }

const char* AppServices::GuidePath() const { return guidePath_.get(); }
