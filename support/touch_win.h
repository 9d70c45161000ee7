// Touch on the panel: a finger works a window as the mouse does. Without this a finger held on a
// key becomes the press-and-hold gesture (a right click when lifted, no auto-repeat) and Windows
// draws its touch feedback over the keys.
#pragma once
#include <windows.h>

namespace touch {

// Named here rather than taken from tpcshrd.h, which brings in OLE; the values are its own.
constexpr UINT QuerySystemGestureStatus = 0x02CC;  // WM_TABLET_QUERYSYSTEMGESTURESTATUS
// Press-and-hold, the pen's tap and barrel feedback, and flicks (a swipe over the keys would
// become Back or Forward) turned off.
constexpr DWORD DisabledGestures = 0x00000001 | 0x00000008 | 0x00000010 | 0x00010000;
// The window property the tablet service reads before it asks the window.
constexpr char TabletProperty[] = "MicrosoftTabletPenServiceProperty";

// Sets the tablet property and, from Windows 8 on, turns off every touch and pen feedback of
// the window. Call once the window exists.
void OptOut(HWND window);
// Removes the property; call while the window is being destroyed.
void Forget(HWND window);

}  // namespace touch
