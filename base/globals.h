// The process-wide state every part of the program reads: the instance, the
// main window and its menus, the icons, the document's name and the limits.
// The shell creates it at start-up; the features only read it (the document
// code also writes the current file name).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/app/menu_tables.h"

constexpr int kPathSize = 260;

extern HINSTANCE g_instance;
extern HANDLE g_heap;
extern bool g_ntFlag;
extern HWND g_mainWindow;
extern HWND g_markerWindow;
extern HICON g_largeIcon;
extern HICON g_smallIcon;
extern HICON g_htmlIcon;
extern HFONT g_menuFont;
// The 16 by 16 images of the menu items and the code-page field: the common
// controls' standard strip and the program's own (loaded at start-up).
extern HBITMAP g_menuImagesStandard;
extern HBITMAP g_menuImagesOwn;
extern HACCEL g_accelerators;
// The menu bar and its popups in bar order; popup 1 ("&Правка") is also the
// editor's right-click menu, popup 5 ("&Кодировки") the code-page field's.
extern HMENU g_menuBar;
extern HMENU g_popups[kPopupCount];
extern HMODULE g_richEditLibrary; // riched32, loaded at start-up
extern int32_t g_sizeLimit;
extern COLORREF g_customColours[16];
extern char g_currentFileName[kPathSize];
extern bool g_rememberCaret;   // "RP": restore the caret of a recent file

extern const char kMainClassName[];   // "LORK2"
extern const char kMarkerClassName[]; // "Lork2 - RuleZ"
extern const char kUntitledName[];    // "БезИмени"

// Returns the state above (and the single-instance result) to what a new
// process starts with; the instance handle stays. Part of ResetProgramState.
void ResetBaseState();
