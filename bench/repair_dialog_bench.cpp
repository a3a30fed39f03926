// The text repair dialog on a long garbled document in the running editor
// under Wine: from the command until the dialog stands idle on the screen,
// against opening the encodings dialog (which reads nothing of the text) on
// the same document; then the repair itself (OK) against loading the text.
//
//   lork2_repair_dialog_bench [MB...]      (default 20)
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "bench/wine_bench.h"
#include "core/app/command_ids.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace {

// The button the next dialog is answered with, and when it stood idle.
WPARAM g_answer = IDCANCEL;
double g_shown = 0;

// A timer set before the command fires first inside the dialog's own loop,
// once the dialog is made, drawn and waiting for the user.
void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_shown = Now();
    HWND dialog = GetActiveWindow();
    if (dialog && dialog != g_shell.mainWindow) PostMessageA(dialog, WM_COMMAND, g_answer, 0);
}

struct Timing {
    double open;  // the command until the dialog is idle
    double total; // the command until it has done its work
};

Timing RunDialogCommand(int id, WPARAM answer) {
    g_answer = answer;
    g_shown = 0;
    SetTimer(nullptr, 0, 1, AnswerDialog);
    const double start = Now();
    SendMessageA(g_shell.mainWindow, WM_COMMAND, id, 0);
    Pump();
    const double end = Now();
    return {g_shown > 0 ? g_shown - start : -1, end - start};
}

// Lines of Russian text in UTF-8, shown as 1251: "РЎСЉРµС€СЊ Р¶Рµ...".
std::string Document(size_t bytes) {
    const auto* line = reinterpret_cast<const char*>(
        u8"Съешь же ещё этих мягких французских булок, да выпей же чаю. Широкая электрификация южных губерний.\r\n");
    return RepeatedLines(line, bytes);
}

void Measure(size_t megabytes) {
    const std::string text = Document(megabytes << 20);
    const double loadStart = Now();
    PutNewDocument(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int32_t>(text.size()), 0);
    Pump();
    const double load = Now() - loadStart;
    // Best of three: the machine is shared.
    double repair = 1e9, encodings = 1e9;
    for (int i = 0; i < 3; ++i) {
        repair = std::min(repair, RunDialogCommand(IDM_REPAIR_TEXT, IDCANCEL).open);
        encodings = std::min(encodings, RunDialogCommand(IDM_ENCODINGS, IDCANCEL).open);
    }
    const Timing ok = RunDialogCommand(IDM_REPAIR_TEXT, IDOK);
    printf("%zu MB: load %.2f s | repair dialog open %.3f s, encodings dialog open %.3f s (ratio %.2f)"
           " | repair with OK %.2f s (%.2f of the load)\n",
           megabytes, load, repair, encodings, repair / encodings, ok.total, ok.total / load);
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<size_t>(atoi(argv[i])));
    if (sizes.empty()) sizes = {20};
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    if (!StartProgram("lork2.exe", SW_SHOWNORMAL)) return 1;
    Pump();
    for (size_t size : sizes) Measure(size);
    SetDocumentModified(false);
    DestroyWindow(g_shell.mainWindow);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
