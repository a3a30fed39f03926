// The main window: layout of its children, menu and toolbar states, and the
// dispatch of every command identifier.
#pragma once

#include <windows.h>

#include "editor/status_bar.h"
#include "editor/toolbar.h"

// Whether the window placement is saved when the window is destroyed: set at
// start-up from "SW" and the way the program was started.
extern bool g_savePlacement;

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Runs the operation of a command identifier; unknown identifiers do nothing.
void DispatchCommand(int id);
// Enabled states of the toolbar buttons; run by the message loop when idle.
void UpdateToolbarState();
void SetToolbarButtonState(int id, BYTE state);
// Enabled states of the menu items, as when a popup opens.
void UpdateMenuState();
// Lays out toolbar, editor and status bar in a client area of that size.
void LayoutChildren(int width, int height);
// Frees what the main window holds; called on WM_DESTROY.
void ReleaseResources();
