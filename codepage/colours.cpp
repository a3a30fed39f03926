#include "codepage/colours.h"

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "editor/editor.h"
#include "editor/display_code_page.h"

COLORREF g_customColours[16];

namespace {

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shell.smallIcon));
    return 0;
}

bool g_customColoursSet;

// The system colour dialog opened on the setting's colour; on OK the new
// colour is stored and returned. Its custom colours start as the system's
// and are kept between the dialogs.
bool ChooseSettingColour(const SettingDef& def, COLORREF& chosen) {
    if (!g_customColoursSet) {
        for (int i = 0; i < 16; ++i) g_customColours[i] = GetSysColor(i);
        g_customColoursSet = true;
    }
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = g_shell.mainWindow;
    choose.rgbResult = static_cast<COLORREF>(ReadSetting(def));
    choose.lpCustColors = g_customColours;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    choose.lpfnHook = ColourDialogHook;
    if (!ChooseColorA(&choose)) return false;
    chosen = choose.rgbResult;
    WriteSetting(def, static_cast<int32_t>(chosen));
    return true;
}

} // namespace

void BackgroundColourCommand(int) {
    COLORREF colour = 0;
    if (!ChooseSettingColour(setting::Background, colour)) return;
    SetBackgroundColour(colour);
}

void TextColourCommand(int) {
    COLORREF colour = 0;
    if (ChooseSettingColour(setting::TextColour, colour)) SetTextColour(colour);
}

void HtmlColourCommand(int) {
    COLORREF colour = 0;
    if (ChooseSettingColour(setting::HtmlColour, colour)) ColourHtmlTags();
}

void ResetCustomColours() {
    for (COLORREF& colour : g_customColours) colour = 0;
    g_customColoursSet = false;
}
