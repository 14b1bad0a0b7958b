// Control codes of the keyboard driver "PLN1:". Each takes one 32-bit input.
#ifndef COMMON_CONTROLCODES_H
#define COMMON_CONTROLCODES_H

#include <windows.h>

// CTL_CODE: device type 0x22, functions from 0x801, direct output, any access.
constexpr DWORD KeyboardControlCode(DWORD function) { return (0x22u << 16) | (0u << 14) | (function << 2) | 2u; }

constexpr DWORD IOCTL_KBD_SET_STATE = KeyboardControlCode(0x801);
constexpr DWORD IOCTL_KBD_SET_REPEAT_RATE = KeyboardControlCode(0x802);
constexpr DWORD IOCTL_KBD_SET_REPEAT_DELAY = KeyboardControlCode(0x803);
constexpr DWORD IOCTL_KBD_POLL_PALETTE_KEY = KeyboardControlCode(0x804);
constexpr DWORD IOCTL_KBD_SET_CLOSE_SOFT_KEYBOARD = KeyboardControlCode(0x806);

// IOCTL_KBD_SET_STATE input
constexpr DWORD KBD_STATE_OFF = 0;
constexpr DWORD KBD_STATE_ON = 1;
constexpr DWORD KBD_STATE_ON_WITH_CLICK = 2;

#endif
