// The small commands: date and time, running the document, help, the About
// box and the two addresses of the help menu.
#pragma once

#include <windows.h>

// Inserts the date, one space and the time (the user's short formats) at the
// caret, as two undo steps. When the system cannot format either, nothing is
// inserted and nothing is recorded.
void InsertDateTime();
// Asks to save a modified document, then opens the file on disk with the
// program the shell associates with it. Nothing for an untitled document.
void RunDocument();
// Run is offered for a document with a file whose name does not end in ".txt".
bool CanRunDocument();
// The help: the WinHelp file beside the program when there is one, else the
// help page beside it opened by the shell (in the user's browser); either is
// opened on a thread of its own, so F1 never holds up the editor. Without
// either file, a message says so; a page that no program opens is posted
// back to the main window as kHelpNotOpened, and a message gives its path.
void ShowHelp();
// Posted to the main window: wParam the system's error (kNoHelpProgram:
// no program for the page), lParam the page's path in a block of the
// process heap, which ReportHelpNotOpened shows and frees.
constexpr UINT kHelpNotOpened = WM_APP + 40;
constexpr DWORD kNoHelpProgram = 0xFFFFFFFF;
void ReportHelpNotOpened(WPARAM error, LPARAM page);
constexpr char kWinHelpFile[] = "lork2.hlp";
constexpr char kHelpPage[] = "lork2.html";
// What opens the help file found (a path ending in .hlp or .html); null
// restores the opener of the program.
using HelpOpener = void (*)(const char* path);
void SetHelpOpener(HelpOpener opener);
void ShowAbout();
// Opens a file or an address with the shell's default action; the shell
// reports its own failures.
void ShellOpen(const char* target);

// IDM_DATE_TIME, IDM_RUN, IDM_HELP, IDM_ABOUT, and IDM_WEB_PAGE and IDM_MAIL
// (the commands' captions are the addresses).
void DateTimeCommand(int id);
void RunCommand(int id);
void HelpCommand(int id);
void AboutCommand(int id);
void OpenAddressCommand(int id);
