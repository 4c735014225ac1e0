// The rasapi32.dll installed into the Wine prefix: every function is forwarded to
// zelrasdouble.dll, resolved when it is looked up. A process gets the double beside its
// program, or a variant it loaded itself before RAS was bound.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
