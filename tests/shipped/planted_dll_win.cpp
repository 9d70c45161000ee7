// A DLL planted beside a program under the name of a system DLL: when any process loads it, it
// leaves "<its path>.ran" behind and refuses to load, so that a program that imports it
// statically ends at once instead of calling into it.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH + 8];
    const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return FALSE;
    lstrcatA(path, ".ran");
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return FALSE;
}
