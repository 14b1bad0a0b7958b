// The framework supplies the program's entry point; the program supplies
// its one application object.
#include "afxwin.h"

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, GetCommandLineW(), nCmdShow);
}
