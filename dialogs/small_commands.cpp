#include "dialogs/small_commands.h"

#include <windows.h>
#include <shellapi.h>

#include "base/globals.h"
#include "core/app/menu_tables.h"
#include "core/dialogs/about_text.h"
#include "core/dialogs/run_rule.h"
#include "document/documents.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/undo.h"

void InsertDateTime() {
    if (!EditorWindow()) return;
    char date[kPathSize + 1];
    char time[kPathSize + 1];
    // Counts include the terminating NUL; 0 is a failure.
    const int dateCount = GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, date, sizeof date);
    const int timeCount = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, time, sizeof time);
    if (dateCount <= 0 || timeCount <= 0) return;
    date[dateCount - 1] = ' ';
    ReplaceSelection(reinterpret_cast<const unsigned char*>(date), dateCount);
    ReplaceSelection(reinterpret_cast<const unsigned char*>(time), timeCount - 1);
}

void RunDocument() {
    if (!AskSaveChanges() || !DocumentHasFile()) return;
    ShellOpen(g_document.fileName);
}

bool CanRunDocument() { return CanRunDocument(g_document.fileName, kUntitledName); }

void ShowHelp() { WinHelpA(g_shell.mainWindow, "LORK2", HELP_CONTENTS, 0); }

void ShowAbout() {
    const AboutTexts texts = ProgramAboutTexts();
    // The system writes into the application text while it splits it at "#".
    char application[kPathSize + 1];
    lstrcpynA(application, texts.application.c_str(), sizeof application);
    ShellAboutA(g_shell.mainWindow, application, texts.other.c_str(), g_shell.largeIcon);
}

void ShellOpen(const char* target) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.hwnd = GetDesktopWindow();
    info.lpFile = target;
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
}

void DateTimeCommand(int) { InsertDateTime(); }
void RunCommand(int) { RunDocument(); }
void HelpCommand(int) { ShowHelp(); }
void AboutCommand(int) { ShowAbout(); }

void OpenAddressCommand(int id) {
    char address[kPathSize + 1];
    const std::string_view caption = CommandCaption(id);
    if (caption.empty() || caption.size() >= sizeof address) return;
    lstrcpynA(address, caption.data(), static_cast<int>(caption.size()) + 1);
    ShellOpen(address);
}
