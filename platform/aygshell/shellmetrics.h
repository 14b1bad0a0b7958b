// What the shell's stand-ins share: the menu bar's place along the bottom of
// the work area, which full-screen dialogs leave to it.
#ifndef CEPLATFORM_SHELLMETRICS_H
#define CEPLATFORM_SHELLMETRICS_H

// Pixels, as the device's menu bar is high.
const int kMenuBarHeight = 26;

#endif
