// The editor control's handle and the few flags every part of the editor
// reads: the bottom of the editor floor. The control itself is made and
// subclassed in editor.cpp.
#pragma once

#include <windows.h>

extern HWND g_editor;            // 0 while absent or being re-created
extern WNDPROC g_editorPrevProc; // the control's own procedure
extern DWORD g_wrapStyle;        // 0 = word wrap on; WS_HSCROLL | ES_AUTOHSCROLL = off
extern bool g_editorFocus;       // the main window hands the focus on to the editor
extern bool g_overwriteMode;     // mirrors the control's Insert/Overwrite toggle

constexpr DWORD kWrapOffStyle = WS_HSCROLL | ES_AUTOHSCROLL; // 0x100080

// Posted by the editor to the main window after a mouse action in the text,
// so that the caret field follows the click.
constexpr UINT kEditorClicked = WM_USER + 1;
