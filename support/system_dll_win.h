// The system DLLs that are not KnownDLLs (common controls, networking, DrawDib), loaded from the
// system folder only and at run time: a static import of them would let a DLL of that name
// beside the program run before the program does.
#pragma once
#include <windows.h>

namespace system_dll {

enum class Dll { CommonControls, Network, DrawDib };

// Limits the process's DLL search to the system folder where Windows offers that (Windows 8,
// and Windows 7 with its loader update); call it first in every program.
void RestrictSearchPath();

// An export of one of those DLLs; null when it cannot be loaded from the system folder.
FARPROC Find(Dll dll, const char* name);

// The export as a function of type Fn, e.g. Function<decltype(&DrawDibOpen)>(Dll::DrawDib,
// "DrawDibOpen"); null when absent.
template <typename Fn>
Fn Function(Dll dll, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Find(dll, name)));
}

}  // namespace system_dll
