// Control codes of the keyboard driver "PLN1:". Each takes one 32-bit input.
#ifndef COMMON_CONTROLCODES_H
#define COMMON_CONTROLCODES_H

#include <windows.h>
#include <winioctl.h>

// Device type 0x22, functions from 0x801, direct output, any access.
#define KBD_CONTROL_CODE(function) CTL_CODE(FILE_DEVICE_UNKNOWN, (function), METHOD_OUT_DIRECT, FILE_ANY_ACCESS)

const DWORD IOCTL_KBD_SET_STATE = KBD_CONTROL_CODE(0x801);
const DWORD IOCTL_KBD_SET_REPEAT_RATE = KBD_CONTROL_CODE(0x802);
const DWORD IOCTL_KBD_SET_REPEAT_DELAY = KBD_CONTROL_CODE(0x803);
const DWORD IOCTL_KBD_POLL_PALETTE_KEY = KBD_CONTROL_CODE(0x804);
const DWORD IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD = KBD_CONTROL_CODE(0x806);

// IOCTL_KBD_SET_STATE input
const DWORD KBD_STATE_OFF = 0;
const DWORD KBD_STATE_ON = 1;
const DWORD KBD_STATE_ON_WITH_CLICK = 2;

#endif
