#include "codepage/colours.h"

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "editor/control.h"
#include "editor/display_code_page.h"

namespace {

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_smallIcon));
    return 0;
}

// The system colour dialog opened on the setting's colour; on OK the new
// colour is stored and returned.
bool ChooseSettingColour(const SettingDef& def, COLORREF& chosen) {
    CHOOSECOLORA choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = g_mainWindow;
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
    if (g_editor) SendMessageA(g_editor, EM_SETBKGNDCOLOR, 0, colour);
}

// The new colour over the whole text, with what the selection has uniformly
// of the other attributes. Colour is no change to the document's bytes: the
// modified flag stays as it was.
void TextColourCommand(int) {
    COLORREF colour = 0;
    if (!ChooseSettingColour(setting::TextColour, colour) || !g_editor) return;
    const LRESULT modified = SendMessageA(g_editor, EM_GETMODIFY, 0, 0);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(g_editor, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    format.dwMask |= CFM_COLOR;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = colour;
    SendMessageA(g_editor, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(g_editor, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(g_editor, EM_SETMODIFY, modified, 0);
}

void HtmlColourCommand(int) {
    COLORREF colour = 0;
    if (ChooseSettingColour(setting::HtmlColour, colour)) ColourHtmlTags();
}
