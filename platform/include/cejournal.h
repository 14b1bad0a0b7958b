/*
 * Opt-in journal of the calls a program makes to the CE stand-ins: registry,
 * device manager and stream devices. Tests switch it on, run the code under
 * test in-process, and read back the calls in order. Off, it costs nothing and
 * allocates nothing.
 */
#ifndef CEPLATFORM_CEJOURNAL_H
#define CEPLATFORM_CEJOURNAL_H

#include <windows.h>
#include <string>
#include <vector>

struct CeCall {
    std::wstring function;   // platform name, e.g. L"RegSetValueExW", L"ActivateDevice"
    std::wstring path;       // L"HKLM\\Drivers\\BuiltIn\\Pelorin", device name, or empty
    std::wstring value;      // value name for value calls
    DWORD type = 0;          // registry type, or IOCTL code for DeviceIoControl
    DWORD size = 0;          // data size passed in bytes
    std::vector<BYTE> data;  // data written (RegSetValueExW) or input (DeviceIoControl)
    LONG_PTR result = 0;     // what the call returned (LONG, BOOL or handle value)
};

// The calls as tests read them; the store lives with the tests, so that the
// programs carry none of it.
void CeJournalStart();  // clears and starts recording
void CeJournalStop();
std::vector<CeCall> CeJournalTake();  // the calls since the last take, oldest first

// Where the stand-ins hand each call while a journal is on (null: off).
typedef void (*CeJournalSink)(const wchar_t *function, const wchar_t *path, const wchar_t *value, DWORD type,
                              DWORD size, const void *data, LONG_PTR result);
void CeSetJournalSink(CeJournalSink sink);

// How ActivateDevice answers when it cannot load the driver: 0, as CE 4.2
// does (the default), or INVALID_HANDLE_VALUE, as CE 5.0 does. This process
// only.
void CeSetActivateFailure(HANDLE failure);

// Called after each control call that reaches a driver, in the caller's thread:
// lets a test act between a request and the caller's look at the reply.
typedef void (*CeIoControlHook)(DWORD code, const void *in, const void *out);
void CeSetIoControlHook(CeIoControlHook hook);

#endif
