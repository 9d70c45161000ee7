// The tablet property and the feedback settings of a window that opts out of touch gestures.
#include "support/touch_win.h"

namespace touch {
namespace {

// FEEDBACK_TYPE of winuser.h, declared there only for Windows 8 and later: from
// FEEDBACK_TOUCH_CONTACTVISUALIZATION to FEEDBACK_GESTURE_PRESSANDTAP.
constexpr int kFirstFeedback = 1;
constexpr int kLastFeedback = 11;
using SetWindowFeedbackSettingFn = BOOL(WINAPI*)(HWND, int, DWORD, UINT32, const void*);

}  // namespace

void OptOut(HWND window) {
    SetPropA(window, TabletProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(DisabledGestures)));
    // user32 is a KnownDLL and imported already: no search of the program's folder.
    auto set = reinterpret_cast<SetWindowFeedbackSettingFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetWindowFeedbackSetting")));
    if (!set) return;  // Windows 7: the tablet property covers what it has
    const BOOL off = FALSE;
    for (int feedback = kFirstFeedback; feedback <= kLastFeedback; ++feedback)
        set(window, feedback, 0, sizeof off, &off);
}

void Forget(HWND window) { RemovePropA(window, TabletProperty); }

}  // namespace touch
