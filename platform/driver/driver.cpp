// Stand-in for the keyboard's stream driver "PLN1:".
//
// It answers the five control codes and writes one journal line per call it
// receives: "NAME INPUT", and for the poll "NAME INPUT -> REPLY". A poll that
// asks for capture (1) takes the oldest key queued by "plnkbd press".
#include <windows.h>
#include <strsafe.h>
#include "simulator.h"

namespace {

const char *ControlName(DWORD code)
{
    switch (code) {
    case kIoctlSetState:
        return "IOCTL_KBD_SET_STATE";
    case kIoctlSetRepeatRate:
        return "IOCTL_KBD_SET_REPEAT_RATE";
    case kIoctlSetRepeatDelay:
        return "IOCTL_KBD_SET_REPEAT_DELAY";
    case kIoctlPollPaletteKey:
        return "IOCTL_KBD_POLL_PALETTE_KEY";
    case kIoctlSetCloseSoftKeyboard:
        return "IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD";
    }
    return nullptr;
}

const DWORD_PTR kDeviceContext = 0x504C4E;  // any non-zero value

}  // namespace

extern "C" {

DWORD_PTR PLN_Init(LPCWSTR activeKey, LPCVOID busContext)
{
    SimAppendJournal("PLN_Init");
    return kDeviceContext;
}

BOOL PLN_Deinit(DWORD_PTR deviceContext)
{
    SimAppendJournal("PLN_Deinit");
    return TRUE;
}

DWORD_PTR PLN_Open(DWORD_PTR deviceContext, DWORD access, DWORD share)
{
    SimAppendJournal("PLN_Open");
    return kDeviceContext;
}

BOOL PLN_Close(DWORD_PTR openContext)
{
    SimAppendJournal("PLN_Close");
    return TRUE;
}

BOOL PLN_IOControl(DWORD_PTR openContext, DWORD code, PBYTE in, DWORD inSize, PBYTE out, DWORD outSize, PDWORD actual)
{
    char line[96];
    const char *name = ControlName(code);
    DWORD input = 0;
    if (!name || !in || inSize != sizeof(DWORD)) {
        StringCchPrintfA(line, ARRAYSIZE(line), "0x%lX (input size %lu)", code, inSize);
        SimAppendJournal(line);
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    CopyMemory(&input, in, sizeof(input));
    if (code != kIoctlPollPaletteKey) {
        StringCchPrintfA(line, ARRAYSIZE(line), "%s %lu", name, input);
        SimAppendJournal(line);
        if (actual)
            *actual = 0;
        return TRUE;
    }
    DWORD reply = input == 1 ? SimTakeKey() : 0;
    StringCchPrintfA(line, ARRAYSIZE(line), "%s %lu -> %lu", name, input, reply);
    SimAppendJournal(line);
    if (!out || outSize < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    CopyMemory(out, &reply, sizeof(reply));
    if (actual)
        *actual = sizeof(reply);
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    // Unloaded by FreeLibrary: let go of the simulator's files. At process
    // exit the system closes them.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        SimClose();
    return TRUE;
}

}  // extern "C"
