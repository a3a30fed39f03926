// The toolbar: standard and own images, the layout saved as "TBS", the
// customise dialog's catalogue and the buttons' tooltips.
#pragma once

#include <windows.h>

extern HWND g_toolbar; // absent (0) while switched off

// Creates the toolbar with small or big images ("BIG") and the saved layout,
// or the default buttons when there is none that gives any button.
void CreateToolbar();
void DestroyToolbar();
// Deletes the bitmaps the toolbar was given; at the end of the program.
void DeleteToolbarBitmap();
// IDM_TOOLBAR_SETUP: the customise dialog (the toolbar is created first if off).
void CustomiseToolbarCommand(int id);
// WM_NOTIFY of the toolbar and its tooltips; false for other notifications.
bool HandleToolbarNotify(NMHDR* header, LRESULT& result);
