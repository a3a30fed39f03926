#include "codepage/font_dialog.h"

#include <windows.h>
#include <richedit.h>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/scoped.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/codepage/dialog_ids.h"
#include "core/codepage/font_choices.h"
#include "editor/display_code_page.h"
#include "editor/text_layer.h"

namespace {

// The font of one code page while the dialog edits it.
struct FontChoice {
    int codePage;
    int32_t size;    // twips
    int32_t effects; // bit 0 bold, bit 1 italic
    int32_t charset;
    char face[kFaceNameSize];
};

FontChoice ReadFontChoice(int codePage) {
    FontChoice choice{};
    choice.codePage = codePage;
    choice.size = ReadSetting(setting::FontSize(codePage));
    choice.effects = ReadSetting(setting::FontEffects(codePage));
    choice.charset = ReadSetting(setting::FontCharset(codePage));
    char stored[kPathSize + 1];
    ReadSettingString(setting::FontFace(codePage).name, stored, sizeof stored);
    CutFaceName(stored, choice.face);
    return choice;
}

void WriteFontChoice(const FontChoice& choice) {
    WriteSettingString(setting::FontFace(choice.codePage).name, choice.face);
    WriteSetting(setting::FontCharset(choice.codePage), choice.charset);
    WriteSetting(setting::FontEffects(choice.codePage), choice.effects);
    WriteSetting(setting::FontSize(choice.codePage), choice.size);
}

CHARFORMATA CharFormatOf(const FontChoice& choice) {
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_SIZE | CFM_FACE | CFM_CHARSET;
    format.dwEffects = static_cast<DWORD>(choice.effects) & (CFE_BOLD | CFE_ITALIC);
    format.yHeight = choice.size;
    format.bCharSet = static_cast<BYTE>(choice.charset);
    format.bPitchAndFamily = choice.face[0] ? 0 : FF_MODERN;
    lstrcpynA(format.szFaceName, choice.face, sizeof format.szFaceName);
    return format;
}

// The preview keeps its format for text that comes later, too.
void FormatPreview(HWND dialog, CHARFORMATA format) {
    HWND preview = GetDlgItem(dialog, IDC_FONT_PREVIEW);
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

int CALLBACK AddFontFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM combo) {
    SendMessageA(reinterpret_cast<HWND>(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

// An empty entry first (no face: the system's fixed-pitch font), then every
// family in the order the system reports them; the stored face is selected
// whatever its letter case.
void FillFaceList(HWND combo, const char* storedFace) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    {
        ScopedDC screen(nullptr);
        if (screen) EnumFontFamiliesA(screen.get(), nullptr, AddFontFamily, reinterpret_cast<LPARAM>(combo));
    }
    if (!storedFace[0]) return;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    char name[kPathSize + 1];
    for (LRESULT i = 1; i < count; ++i) {
        if (SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof name)) continue;
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
        if (lstrcmpiA(name, storedFace) == 0) {
            SendMessageA(combo, CB_SETCURSEL, i, 0);
            return;
        }
    }
}

void FillCharsetList(HWND combo, int32_t charset) {
    for (const CharsetChoice& choice : kCharsetChoices)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.name));
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(CharsetIndex(charset)), 0);
}

void FillSizeList(HWND combo, int32_t twips) {
    for (int points = 1; points <= kSizeChoiceCount; ++points) {
        char text[16];
        wsprintfA(text, "%u", static_cast<unsigned>(points));
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(SizeIndex(twips)), 0);
}

int Selected(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// What the controls show now; a list without a selection keeps the stored
// size, and gives the code page's own character set.
FontChoice ChoiceOfControls(HWND dialog, const FontChoice& stored) {
    FontChoice choice = stored;
    char text[kPathSize + 1] = "";
    GetDlgItemTextA(dialog, IDC_FONT_FACE, text, sizeof text);
    CutFaceName(text, choice.face);
    choice.size = ChosenSize(Selected(dialog, IDC_FONT_SIZE), stored.size);
    choice.charset = ChosenCharset(Selected(dialog, IDC_FONT_CHARSET), stored.codePage);
    choice.effects = EffectsOf(Checked(dialog, IDC_FONT_BOLD), Checked(dialog, IDC_FONT_ITALIC));
    return choice;
}

FontChoice* ChoiceOf(HWND dialog) { return reinterpret_cast<FontChoice*>(ModalDialogParam(dialog)); }

void InitFontDialog(HWND dialog, LPARAM param) {
    const FontChoice* choice = reinterpret_cast<const FontChoice*>(param);
    FillFaceList(GetDlgItem(dialog, IDC_FONT_FACE), choice->face);
    FillCharsetList(GetDlgItem(dialog, IDC_FONT_CHARSET), choice->charset);
    FillSizeList(GetDlgItem(dialog, IDC_FONT_SIZE), choice->size);
    CheckDlgButton(dialog, IDC_FONT_BOLD, (choice->effects & 1) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FONT_ITALIC, (choice->effects & 2) ? BST_CHECKED : BST_UNCHECKED);
    HWND preview = GetDlgItem(dialog, IDC_FONT_PREVIEW);
    CHARFORMATA format = CharFormatOf(*choice);
    format.dwMask |= CFM_COLOR;
    format.crTextColor = static_cast<COLORREF>(ReadSetting(setting::TextColour));
    FormatPreview(dialog, format);
    SendMessageA(preview, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    const auto sample = FontPreviewText(choice->codePage);
    StreamBytesInAs(preview, choice->codePage, SF_TEXT, sample.data(), static_cast<int32_t>(sample.size()));
}

bool AcceptFontChoice(HWND dialog) {
    FontChoice* choice = ChoiceOf(dialog);
    *choice = ChoiceOfControls(dialog, *choice);
    return true;
}

bool PreviewFontChange(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_FONT_FACE:
    case IDC_FONT_CHARSET:
    case IDC_FONT_SIZE:
    case IDC_FONT_BOLD:
    case IDC_FONT_ITALIC:
        // Every change shows at once; the text colour stays.
        FormatPreview(dialog, CharFormatOf(ChoiceOfControls(dialog, *ChoiceOf(dialog))));
        return true;
    default:
        return false;
    }
}

constexpr DialogBehaviour kFontDialog{InitFontDialog, AcceptFontChoice, PreviewFontChange};

} // namespace

bool RunFontDialog(int codePage) {
    if (codePage < 0 || codePage > 2) return false;
    FontChoice choice = ReadFontChoice(codePage);
    if (RunModalDialog(IDD_FONT, kFontDialog, reinterpret_cast<LPARAM>(&choice)) != IDOK)
        return false;
    WriteFontChoice(choice);
    // The display code page's own font, which need not be the one just chosen.
    ApplyDisplayCodePageKeepingView();
    return true;
}

void FontDialogCommand(int id) { RunFontDialog(id - IDM_FONT_ANSI); }
