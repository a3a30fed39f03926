// The editor control: a rich-edit 1.0 child of the main window holding the
// document, subclassed by EditorWindowProc.
#pragma once

#include <windows.h>

#include <cstdint>

#include "editor/control.h"

constexpr UINT_PTR kAutoScrollTimer = 1976;

// Creates the control shown, focused and subclassed; leaves g_editor 0 when
// the window cannot be created.
void CreateEditorControl();
// Puts a new control in place of the editor, made with the current wrap
// style and holding n plain bytes, caret at 0 (the modified flag is the
// caller's to set): whatever the old one held besides its bytes (the fonts
// and colours of an RTF it read) goes with it. g_editor is 0 when the window
// cannot be created.
void RecreateEditorControl(const unsigned char* bytes, int32_t n);
// IDM_WORD_WRAP: flips word wrap by re-creating the control, keeping text,
// selection and modified flag; with no memory for the text the error is
// shown and nothing changes.
void ToggleWordWrap();
void WordWrapCommand(int id);
// A control for a new document text that may not arrive (a load the user
// can cancel): made empty and hidden beside the editor, with the font of
// display code page `codePage` and word wrap off when `unwrapped` (else the
// current wrap), while the editor keeps its control, text, undo, modified
// flag, display code page and word wrap. Fill it with StreamBytesInAs in
// `codePage`. nullptr when it cannot be made.
HWND MakeStandbyControl(int codePage, bool unwrapped);
// Puts the filled standby control in the editor's place, showing
// `codePage`; the old control and its text are destroyed.
void AdoptStandbyControl(HWND standby, int codePage);
// Destroys a standby control that will not be used; the editor is as it was.
void DiscardStandbyControl(HWND standby);
LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Files dropped on the editor go to the document code through this handler,
// set at start-up; it returns true when it took the drop (and finished it).
using DroppedFileHandler = bool (*)(HDROP drop);
void SetDroppedFileHandler(DroppedFileHandler handler);
// A fresh press of Ctrl (not its auto-repeat) is told to this handler, set at
// start-up: the two-key code-page commands forget a pending first key.
using FreshCtrlHandler = void (*)();
void SetFreshCtrlHandler(FreshCtrlHandler handler);
// Returns the editor floor's state to what a new process starts with: the
// control's handle and flags, the display code page (ANSI), the undo history
// (emptied), HTML colouring, overwrite mode, the bars' handles, the handlers
// set at start-up. The windows must be gone already. Part of ResetProgramState.
void ResetEditorState();
// One step of middle-button scrolling (timer 1976 of the main window).
void AutoScrollStep();
