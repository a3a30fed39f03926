#include "base/modal_dialog.h"

#include "base/globals.h"

namespace {

// Lives on RunModalDialog's stack for as long as the dialog.
struct RunningDialog {
    const DialogBehaviour* behaviour;
    LPARAM param;
};

const RunningDialog* Running(HWND dialog) {
    return reinterpret_cast<const RunningDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

INT_PTR CALLBACK ModalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* running = reinterpret_cast<const RunningDialog*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shell.smallIcon));
        if (running->behaviour->init) running->behaviour->init(dialog, running->param);
        return TRUE;
    }
    case WM_COMMAND: {
        const RunningDialog* running = Running(dialog);
        if (!running) return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            if (!running->behaviour->accept || running->behaviour->accept(dialog)) EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return running->behaviour->command && running->behaviour->command(dialog, wParam) ? TRUE : FALSE;
        }
    }
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR RunModalDialog(int templateId, const DialogBehaviour& behaviour, LPARAM param) {
    const RunningDialog running{&behaviour, param};
    return DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(templateId), g_shell.mainWindow, ModalDialogProc,
                           reinterpret_cast<LPARAM>(&running));
}

LPARAM ModalDialogParam(HWND dialog) {
    const RunningDialog* running = Running(dialog);
    return running ? running->param : 0;
}
