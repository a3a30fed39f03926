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

const char kMainClassName[] = "LORK2";
const char kMarkerClassName[] = "Lork2 - RuleZ";
const char kUntitledName[] = "БезИмени";

void ResetBaseState() {
    g_heap = nullptr;
    g_ntFlag = false;
    g_mainWindow = nullptr;
    g_markerWindow = nullptr;
    g_largeIcon = nullptr;
    g_smallIcon = nullptr;
    g_htmlIcon = nullptr;
    g_menuFont = nullptr;
    g_menuImagesStandard = nullptr;
    g_menuImagesOwn = nullptr;
    g_accelerators = nullptr;
    g_menuBar = nullptr;
    for (HMENU& popup : g_popups) popup = nullptr;
    g_richEditLibrary = nullptr;
    g_sizeLimit = 0;
    for (COLORREF& colour : g_customColours) colour = 0;
    g_currentFileName[0] = '\0';
    g_rememberCaret = false;
}
