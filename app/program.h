// The life of the process: the command line, the single-instance search,
// start-up, the message loop and shutdown.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/globals.h"
#include "base/instance.h"

extern char g_commandLinePath[kPathSize];
extern bool g_printFlag;

// The creation-time initialisation of the main window.
void InitMainWindow();
// Everything from the command line to the window being shown; returns false
// when the process must end with 255 (class registration failed).
bool StartProgram(const char* rawLine, int defaultShowState);
// The same from the command line as the system passed it (GetCommandLineW):
// a file name outside the system code page is opened by its short name.
bool StartProgram(const wchar_t* rawLine, int defaultShowState);
// Runs the message loop to its end; returns the quit code.
int RunMessageLoop();
// Deletes the GDI objects that outlive the window.
void DeleteProgramObjects();
// Returns every part's process-wide state to what a new process starts
// with, once the main window is gone: the objects that outlive the window
// deleted, the window classes unregistered and the icons destroyed, then the
// shell's, the features' (search, print, documents, the pending two-key
// command), the editor's and the base's state reset. Run at shutdown and
// between the tests that start the editor anew.
void ResetProgramState();
[[noreturn]] void ProgramMain();

// The size limit: half the physical memory, clamped to a positive 32-bit
// value, with the low 20 bits set. Tests may replace it.
int32_t ComputeSizeLimit();
