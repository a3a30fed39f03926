// The print preview: one page at a time, laid out at the printer's metrics
// exactly as it prints, in a maximised modal dialog, with a click-to-zoom
// magnifier.
#pragma once

#include <windows.h>

// IDM_PREVIEW. Does nothing when there is no printer.
void ShowPreview();
INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

void PreviewCommand(int id);
// The preview's state of a new process (no preview open); part of
// ResetProgramState.
void ResetPreviewState();
