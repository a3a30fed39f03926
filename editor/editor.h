// The editor control: a rich-edit 1.0 child of the main window holding the
// document, subclassed by EditorWindowProc.
#pragma once

#include <windows.h>

#include <cstdint>

extern HWND g_editor;            // 0 while absent or being re-created
extern WNDPROC g_editorPrevProc; // the control's own procedure
extern DWORD g_wrapStyle;        // 0 = word wrap on; WS_HSCROLL | ES_AUTOHSCROLL = off
extern bool g_editorFocus;       // the main window hands the focus on to the editor
extern bool g_overwriteMode;     // mirrors the control's Insert/Overwrite toggle

constexpr DWORD kWrapOffStyle = WS_HSCROLL | ES_AUTOHSCROLL; // 0x100080
constexpr UINT_PTR kAutoScrollTimer = 1976;

// Creates the control shown, focused and subclassed; leaves g_editor 0 when
// the window cannot be created.
void CreateEditorControl();
// Command 25: flips word wrap by re-creating the control, keeping text,
// selection and modified flag.
void ToggleWordWrap();
void WordWrapCommand(int id);
LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Files dropped on the editor go to the document code through this handler,
// set at start-up; it returns true when it took the drop (and finished it).
using DroppedFileHandler = bool (*)(HDROP drop);
void SetDroppedFileHandler(DroppedFileHandler handler);
// One step of middle-button scrolling (timer 1976 of the main window).
void AutoScrollStep();
