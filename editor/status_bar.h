// The status bar: caret position, keyboard language, display code page,
// insert or overwrite mode and the document's path. Every update does nothing
// while the bar is switched off.
#pragma once

#include <windows.h>

extern HWND g_statusBar; // absent (0) while switched off

constexpr int kStatusBarId = 111;

void CreateStatusBar();
void DestroyStatusBar();

// Writes the caret field unless the selection is the one it shows.
void UpdateCaretField();
// Forgets what the caret field shows, so that the next update writes it.
void ResetCaretField();
// Redraws the keyboard field (the input language changed).
void UpdateKeyboardField();
// Redraws the code-page field (the display code page was applied).
void UpdateCodePageField();
// "Вставка" or "Замена" from the editor's overwrite mode.
void UpdateModeField();
// The current file name in the path field and its tooltip.
void UpdatePathField();
// WM_DRAWITEM of the status bar: the keyboard and code-page fields.
void DrawStatusField(const DRAWITEMSTRUCT* dis);
// Forgets the bar's handles and what its fields showed, as in a new process
// (the bar is destroyed already); part of ResetEditorState.
void ResetStatusBarState();
