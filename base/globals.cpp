// The process-wide state of the application shell.
#include "base/globals.h"

HINSTANCE g_instance;
HANDLE g_heap;
bool g_ntFlag;
HWND g_mainWindow;
HWND g_markerWindow;
HICON g_largeIcon;
HICON g_smallIcon;
HICON g_htmlIcon;
HFONT g_menuFont;
HBITMAP g_menuImagesStandard;
HBITMAP g_menuImagesOwn;
HACCEL g_accelerators;
HMENU g_menuBar;
HMENU g_popups[kPopupCount];
HMODULE g_richEditLibrary;
int32_t g_sizeLimit;
COLORREF g_customColours[16];
char g_currentFileName[kPathSize];
bool g_rememberCaret;
bool g_controlUndoUsed;

const char kMainClassName[] = "LORK2";
const char kMarkerClassName[] = "Lork2 - RuleZ";
const char kUntitledName[] = "БезИмени";
