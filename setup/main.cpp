// The library entry: nothing happens at load or unload.
#include <windows.h>

BOOL WINAPI DllMain(HANDLE, DWORD, LPVOID) { return TRUE; }
