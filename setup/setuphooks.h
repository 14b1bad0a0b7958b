// PelorinSetup: the installer's four hooks and their two helpers. The hooks
// keep no state: each works with its own locals, the registry and the files.
#ifndef SETUP_SETUPHOOKS_H
#define SETUP_SETUPHOOKS_H

#include <windows.h>
#include <ce_setup.h>
#include "setuptext.h"

// The setup library's own texts.
extern const wchar_t kRefusalText[];  // shown when installing over an earlier installation
extern const wchar_t kRefusalCaption[];
extern const wchar_t *const kShortcutNames[3];

// Deletes the shortcuts left under the system's link names, start menu first.
void DeleteShortcuts();
// Unloads the keyboard driver through its active entry; 1 when that worked.
int DeactivateKeyboardDriver();

#endif
