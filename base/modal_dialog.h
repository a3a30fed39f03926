// What the program's OK/Cancel dialogs do alike, in one dialog procedure:
// the small program icon when the dialog opens, "Отмена" (and the close box
// and Escape, which the dialog manager turns into IDCANCEL) closing it with
// IDCANCEL, "ОК" closing it with IDOK once the dialog has taken its fields.
// Where a dialog appears is its template's (DS_CENTER centres it).
#pragma once

#include <windows.h>

struct DialogBehaviour {
    // Fills the controls; the icon is set already and the first control
    // gets the focus afterwards.
    void (*init)(HWND dialog, LPARAM param);
    // "ОК" (IDOK): takes what the controls hold; false keeps the dialog
    // open (nothing acceptable yet, or the button does something else).
    bool (*accept)(HWND dialog);
    // Any other WM_COMMAND (may be null); true when it was handled.
    bool (*command)(HWND dialog, WPARAM wParam);
};

// Runs dialog template `templateId` modally, owned by the main window; the
// result of DialogBoxParamA (IDOK, IDCANCEL, what another button's command
// closed it with, or -1 when the dialog could not be made).
INT_PTR RunModalDialog(int templateId, const DialogBehaviour& behaviour, LPARAM param = 0);
// The `param` RunModalDialog was given, for the dialog's own callbacks.
LPARAM ModalDialogParam(HWND dialog);
