#include "codepage/font_dialog.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/scoped.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "core/dialogs/font_choices.h"
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
    choice.size = ShownFontSize(ReadSetting(setting::FontSize(codePage)));
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

// The families that can show Cyrillic text: those with a Russian or an OEM
// (866) character set, each once, without the vertical "@" faces.
int CALLBACK AddFontFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM names) {
    if (font->lfFaceName[0] && font->lfFaceName[0] != '@')
        reinterpret_cast<std::vector<std::string>*>(names)->emplace_back(font->lfFaceName);
    return 1;
}

bool FaceBefore(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }
bool SameFace(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// An empty entry first (no face: the system's fixed-pitch font), then the
// families in alphabetical order. The stored face is selected whatever its
// letter case; the empty entry when no face is stored; nothing when the
// stored face is not among them (it has left the system), so that "ОК"
// stores none.
void FillFaceList(HWND combo, const char* storedFace) {
    std::vector<std::string> faces;
    {
        ScopedDC screen(nullptr);
        for (const BYTE charset : {static_cast<BYTE>(RUSSIAN_CHARSET), static_cast<BYTE>(OEM_CHARSET)}) {
            LOGFONTA wanted{};
            wanted.lfCharSet = charset;
            if (screen)
                EnumFontFamiliesExA(screen.get(), &wanted, AddFontFamily, reinterpret_cast<LPARAM>(&faces), 0);
        }
    }
    std::stable_sort(faces.begin(), faces.end(), FaceBefore);
    faces.erase(std::unique(faces.begin(), faces.end(), SameFace), faces.end());
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    LRESULT selected = storedFace[0] ? -1 : 0;
    for (const std::string& face : faces) {
        const LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(face.c_str()));
        if (index >= 0 && storedFace[0] && lstrcmpiA(face.c_str(), storedFace) == 0) selected = index;
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
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
