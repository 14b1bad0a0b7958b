/*
 * The stand-ins' own calls (platform/cecore): the CE behaviour of the calls
 * that behave differently on desktop Win32, to which windows.h routes the
 * system's calls. The platform's names themselves come from the device's
 * SDK surface (platform/README.md).
 */
#ifndef CEPLATFORM_CECORE_H
#define CEPLATFORM_CECORE_H

#ifndef RC_INVOKED

#ifdef __cplusplus
extern "C" {
#endif

/* Gives a window the caption's OK button after its creation, as the shell's
   Done button does: the navigation bar shows "ok" for it while it is in
   front, and tapping that sends it WM_COMMAND IDOK. */
void WINAPI CeAddCaptionOkButton(HWND window);

/* CE behaviour of the routed calls */
LONG WINAPI CeRegOpenKeyExW(HKEY root, LPCWSTR subKey, DWORD options, REGSAM sam, PHKEY result);
LONG WINAPI CeRegCreateKeyExW(HKEY root, LPCWSTR subKey, DWORD reserved, LPWSTR cls, DWORD options, REGSAM sam,
                              const SECURITY_ATTRIBUTES *sa, PHKEY result, LPDWORD disposition);
LONG WINAPI CeRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
LONG WINAPI CeRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);
LONG WINAPI CeRegFlushKey(HKEY key);
LONG WINAPI CeRegCloseKey(HKEY key);
LONG WINAPI CeRegDeleteKeyW(HKEY root, LPCWSTR subKey);

HANDLE WINAPI CeCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                            DWORD flags, HANDLE templateFile);
BOOL WINAPI CeDeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                              LPDWORD returned, LPOVERLAPPED overlapped);
BOOL WINAPI CeCloseHandle(HANDLE handle);

/* Hiding the foreground window brings the next window to the front; windows
   made by the layer, with the caption OK button kept in their style */
BOOL WINAPI CeSetWindowPos(HWND window, HWND after, int x, int y, int cx, int cy, UINT flags);
HWND WINAPI CeCreateWindowExW(DWORD exStyle, LPCWSTR cls, LPCWSTR name, DWORD style, int x, int y, int cx, int cy,
                              HWND parent, HMENU menu, HINSTANCE inst, LPVOID param);

/* The device's message box: within the work area, its text wrapped */
int WINAPI CeMessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

BOOL WINAPI CeCreateProcessW(LPCWSTR app, LPWSTR cmdLine, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta,
                             BOOL inherit, DWORD flags, LPVOID env, LPCWSTR dir, LPSTARTUPINFOW si,
                             LPPROCESS_INFORMATION pi);
/* Any access: CE takes 0 and gives a handle that waits and queries */
HANDLE WINAPI CeOpenProcess(DWORD access, BOOL inherit, DWORD processId);

#ifdef __cplusplus
}
#endif

#endif /* RC_INVOKED */

#endif
