#include "editor/display_code_page.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/dialogs/font_choices.h"
#include "core/text/html_tags.h"
#include "editor/control.h"
#include "editor/status_bar.h"
#include "editor/text_layer.h"

#include <cstring>
#include <optional>

CHARFORMATA CharFormatOfDisplayCodePage() { return CharFormatOfCodePage(g_editorState.displayCodePage); }

CHARFORMATA CharFormatOfCodePage(int cp) {
    if (cp < 0 || cp > 2) cp = 0;
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    format.crTextColor = static_cast<COLORREF>(ReadSetting(setting::TextColour));
    format.yHeight = ShownFontSize(ReadSettingDword(setting::FontSize(cp).name, setting::kFontSizeApplyDefault));
    format.bCharSet = static_cast<BYTE>(ReadSetting(setting::FontCharset(cp)));
    format.dwEffects = static_cast<DWORD>(ReadSetting(setting::FontEffects(cp))) & (CFE_BOLD | CFE_ITALIC);
    ReadSettingString(setting::FontFace(cp).name, format.szFaceName, sizeof format.szFaceName);
    format.bPitchAndFamily = format.szFaceName[0] ? 0 : FF_MODERN;
    if (format.yHeight <= 0) format.dwMask &= ~CFM_SIZE; // no size stored: the control keeps its own
    return format;
}

namespace {

void SetTextColour(COLORREF colour) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    SendMessageA(g_editorState.control, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

// Scrolls back to a remembered first visible line.
void ScrollBackTo(LRESULT firstLine) {
    const LRESULT now = SendMessageA(g_editorState.control, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (now != firstLine) SendMessageA(g_editorState.control, EM_LINESCROLL, 0, firstLine - now);
}

} // namespace

void ApplyFontTo(HWND control) {
    CHARFORMATA format = CharFormatOfDisplayCodePage();
    SendMessageA(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(control, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageA(control, EM_EMPTYUNDOBUFFER, 0, 0);
}

void ApplyDisplayCodePage() {
    if (!g_editorState.control) return;
    const LRESULT modified = SendMessageA(g_editorState.control, EM_GETMODIFY, 0, 0);
    SendMessageA(g_editorState.control, EM_SETSEL, 0, -1);
    CHARFORMATA format = CharFormatOfDisplayCodePage();
    g_editorState.htmlColoured = false; // the whole text takes the text colour
    HKL layout = GetKeyboardLayout(0);
    g_editorState.focus = false;
    SetFocus(g_shell.mainWindow);
    SendMessageA(g_editorState.control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(g_editorState.control, EM_SETCHARFORMAT, SCF_SELECTION | SCF_ALL, reinterpret_cast<LPARAM>(&format));
    g_editorState.focus = true;
    SetFocus(g_editorState.control);
    ActivateKeyboardLayout(layout, 0);
    SendMessageA(g_editorState.control, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageA(g_editorState.control, EM_SETMODIFY, modified, 0);
    UpdateCodePageField();
}

void ApplyDisplayCodePageKeepingView() {
    if (!g_editorState.control) return;
    SendMessageA(g_editorState.control, WM_SETREDRAW, FALSE, 0);
    const LRESULT firstLine = SendMessageA(g_editorState.control, EM_GETFIRSTVISIBLELINE, 0, 0);
    CHARRANGE selection{0, 0};
    SendMessageA(g_editorState.control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    ApplyDisplayCodePage();
    SendMessageA(g_editorState.control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    ScrollBackTo(firstLine);
    SendMessageA(g_editorState.control, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_editorState.control, nullptr, FALSE);
}

void ColourHtmlTags() {
    if (!g_editorState.control) return;
    const int32_t length = TextLength(g_editorState.control);
    if (length < 2) return;
    HeapBuffer text(static_cast<size_t>(length) + 1);
    if (!text) return;
    const LRESULT modified = SendMessageA(g_editorState.control, EM_GETMODIFY, 0, 0);
    const LRESULT firstLine = SendMessageA(g_editorState.control, EM_GETFIRSTVISIBLELINE, 0, 0);
    HKL layout = GetKeyboardLayout(0);
    ShowWindow(g_editorState.control, SW_HIDE);
    g_editorState.focus = false;
    SetFocus(g_shell.mainWindow);
    CHARRANGE selection{0, 0};
    SendMessageA(g_editorState.control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SetSelection(g_editorState.control, 0, length);
    const int32_t n = StreamBytesOut(g_editorState.control, true, text.get(), length);
    SetTextColour(static_cast<COLORREF>(ReadSetting(setting::TextColour)));
    const COLORREF tagColour = static_cast<COLORREF>(ReadSetting(setting::HtmlColour));
    const unsigned char* bytes = text.get();
    const auto count = static_cast<size_t>(n > 0 ? n : 0);
    for (std::optional<HtmlTagSpan> tag = NextHtmlTag(bytes, count, 0); tag;
         tag = NextHtmlTag(bytes, count, tag->end)) {
        SetSelection(g_editorState.control, static_cast<int32_t>(tag->start), static_cast<int32_t>(tag->end));
        SetTextColour(tagColour);
    }
    g_editorState.htmlColoured = true;
    SendMessageA(g_editorState.control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageA(g_editorState.control, EM_SETMODIFY, modified, 0);
    ScrollBackTo(firstLine);
    ShowWindow(g_editorState.control, SW_SHOW);
    g_editorState.focus = true;
    SetFocus(g_editorState.control);
    ActivateKeyboardLayout(layout, 0);
}

void HtmlColouringCommand(int) { ColourHtmlTags(); }
