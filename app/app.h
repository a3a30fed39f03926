// Process-wide state of the application shell, and the start-up and
// shutdown operations.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int kPathSize = 260;

extern HINSTANCE g_instance;
extern HANDLE g_heap;
extern bool g_ntFlag;
extern char g_commandLinePath[kPathSize];
extern bool g_printFlag;
extern HWND g_mainWindow;
extern HWND g_markerWindow;
extern HICON g_largeIcon;
extern HICON g_smallIcon;
extern HICON g_htmlIcon;
extern HFONT g_menuFont;
extern HACCEL g_accelerators;
extern HMODULE g_richEditLibrary;
extern int32_t g_sizeLimit;
extern COLORREF g_customColours[16];
extern char g_currentFileName[kPathSize];
extern bool g_savePlacement;
extern bool g_rememberCaret;     // "RP": restore the caret of a recent file
extern bool g_controlUndoUsed;   // "NO": the control's own undo instead of the history
extern bool g_instanceFound;

extern const char kMainClassName[];   // "LORK2"
extern const char kMarkerClassName[]; // "Lork2 - RuleZ"
extern const char kUntitledName[];    // "БезИмени"

// Fills the path and the print flag from the raw command line; ends the
// process with 255 when another instance holds the named file.
void ParseCommandLine(const char* rawLine);
// True when another instance holds the file; that window has been brought
// forward (restored first when minimised).
bool FindRunningInstance(const char* path);
// The creation-time initialisation of the main window.
void InitMainWindow();
// Frees what the main window holds; called on WM_DESTROY.
void ReleaseResources();
// Everything from the command line to the window being shown; returns false
// when the process must end with 255 (class registration failed).
bool StartProgram(const char* rawLine, int defaultShowState);
// Runs the message loop to its end; returns the quit code.
int RunMessageLoop();
// Deletes the GDI objects that outlive the window.
void DeleteProgramObjects();
[[noreturn]] void ProgramMain();

// The size limit: half the physical memory, clamped to a positive 32-bit
// value, with the low 20 bits set. Tests may replace it.
int32_t ComputeSizeLimit();
