// The control case of the planted-DLL test: a program that imports networking statically, as
// the panel once did, so that a planted mpr.dll beside it runs. The call itself is never made.
#include <windows.h>
#include <winnetwk.h>

int main(int argc, char**) { return argc > 100 ? static_cast<int>(WNetCancelConnection2A("\\\\PLANT", 0, FALSE)) : 0; }
