// The control panel's one application object; the framework's entry point
// runs it.
#include <windows.h>
#include "controlpanelapp.h"

ControlPanelApp theApp;
