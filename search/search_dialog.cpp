// The Find and Replace dialog: proposes a search text (the word at the
// caret, the own history, another program's history), takes typed text or
// hex bytes and the options, and fills the search state on confirmation.
#include "search/search_dialog.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "base/globals.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/search/hex_string.h"
#include "core/search/search_ids.h"
#include "core/search/search_text.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "search/search.h"

namespace {

constexpr DWORD kFieldSize = kSearchTextMax + 1;

// The outside history: the search texts another program keeps in its
// settings file in the Windows folder (only read).
constexpr char kOutsideFile[] = "wincmd.ini";
constexpr char kOutsideSection[] = "SearchText";
constexpr int kOutsideEntries = 20;

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::string ReadHistoryEntry(int i) {
    char value[kFieldSize];
    ReadSettingString(setting::SearchHistory(i).name, value, sizeof value);
    return value;
}

void FillHistory(HWND combo) {
    for (int n = static_cast<int>(kHistoryEntries) - 1; n >= 0; --n) {
        const std::string entry = ReadHistoryEntry(n);
        if (!entry.empty()) SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    for (int n = 0; n < kOutsideEntries; ++n) {
        char key[16];
        wsprintfA(key, "%i", n);
        char value[kFieldSize];
        if (GetPrivateProfileStringA(kOutsideSection, key, "", value, sizeof value, kOutsideFile) > 0)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value));
    }
}

// The word at the caret, by the editor's word rule, as typed text.
std::string WordAtCaret() {
    if (!EditorWindow()) return {};
    const int32_t caret = GetSelection(EditorWindow()).cpMin;
    int32_t end = FindWordBreak(EditorWindow(), WB_MOVEWORDRIGHT, caret);
    const int32_t start = FindWordBreak(EditorWindow(), WB_MOVEWORDLEFT, end);
    if (end - start > static_cast<int32_t>(kSearchTextMax)) end = start + static_cast<int32_t>(kSearchTextMax);
    if (end <= start) return {};
    unsigned char range[kSearchTextMax];
    const int32_t n = GetRangeBytes(EditorWindow(), start, end, range, end - start);
    return WordForSearchField(std::string_view(reinterpret_cast<const char*>(range), n), DisplayCodePage());
}

void OpenDialog(HWND dialog, LPARAM) {
    Check(dialog, IDC_WHOLE_WORD, g_search.wholeWord);
    Check(dialog, IDC_MATCH_CASE, g_search.matchCase);
    Check(dialog, IDC_WHOLE_TEXT, g_search.wholeText);
    Check(dialog, IDC_UPWARD, g_search.upward);
    if (g_search.replaceMode) {
        Check(dialog, IDC_PROMPT, g_search.prompt);
        SetWindowTextA(dialog, "Заменить...");
    } else {
        for (int id : {IDC_REPLACEMENT_LABEL, IDC_PROMPT, IDC_HEX_REPLACEMENT, IDC_REPLACEMENT, IDC_REPLACE_ALL})
            ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
        SetWindowTextA(dialog, "Найти...");
    }
    HWND combo = GetDlgItem(dialog, IDC_SEARCH_TEXT);
    // Every field holds at most 260 bytes.
    SendMessageA(combo, CB_LIMITTEXT, kSearchTextMax, 0);
    for (int id : {IDC_REPLACEMENT, IDC_HEX_SEARCH, IDC_HEX_REPLACEMENT})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kSearchTextMax, 0);
    FillHistory(combo);
    const std::string word = WordAtCaret();
    if (word.empty()) return;
    SendMessageA(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(word.c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void ToggleHex(HWND dialog) {
    const bool hex = Checked(dialog, IDC_HEX);
    EnableWindow(GetDlgItem(dialog, IDC_SEARCH_TEXT), !hex);
    EnableWindow(GetDlgItem(dialog, IDC_HEX_SEARCH), hex);
    if (g_search.replaceMode) {
        EnableWindow(GetDlgItem(dialog, IDC_REPLACEMENT), !hex);
        EnableWindow(GetDlgItem(dialog, IDC_HEX_REPLACEMENT), hex);
    }
    SetFocus(GetDlgItem(dialog, hex ? IDC_HEX_SEARCH : IDC_SEARCH_TEXT));
}

// The text of a field, at most 260 bytes.
std::string FieldText(HWND dialog, int id) {
    char text[kFieldSize];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Bytes up to the first NUL (a hex 00 ends the text) into a state buffer.
int32_t Store(unsigned char* buffer, const unsigned char* bytes, size_t n) {
    const void* zero = memchr(bytes, 0, n);
    if (zero) n = static_cast<size_t>(static_cast<const unsigned char*>(zero) - bytes);
    if (n > kSearchTextMax) n = kSearchTextMax;
    memcpy(buffer, bytes, n);
    buffer[n] = 0;
    return static_cast<int32_t>(n);
}

int32_t StoreText(unsigned char* buffer, const std::string& text) {
    return Store(buffer, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

int32_t StoreHex(unsigned char* buffer, const std::string& hex) {
    const HexBytes bytes = ParseHexString(hex);
    return Store(buffer, bytes.bytes, bytes.count);
}

void WriteHistory(const std::string& typed) {
    HistoryEntries before;
    for (size_t i = 0; i < kHistoryEntries; ++i) before[i] = ReadHistoryEntry(static_cast<int>(i));
    const HistoryEntries after = UpdateSearchHistory(before, typed);
    for (size_t i = 0; i < kHistoryEntries; ++i)
        if (after[i] != before[i]) WriteSettingString(setting::SearchHistory(static_cast<int>(i)).name, after[i].c_str());
}

// "Найти" / "Заменить" (IDOK) and "Все" (IDC_REPLACE_ALL): the fields into the
// search state; false, the dialog staying open, while there is nothing to find.
bool Confirm(HWND dialog, int id) {
    const bool textMode = IsWindowEnabled(GetDlgItem(dialog, IDC_SEARCH_TEXT)) != FALSE;
    const std::string search = FieldText(dialog, textMode ? IDC_SEARCH_TEXT : IDC_HEX_SEARCH);
    if (search.empty()) return false;
    g_search.replaceAll = id == IDC_REPLACE_ALL;
    g_search.wholeWord = Checked(dialog, IDC_WHOLE_WORD);
    g_search.matchCase = Checked(dialog, IDC_MATCH_CASE);
    g_search.wholeText = Checked(dialog, IDC_WHOLE_TEXT);
    g_search.upward = Checked(dialog, IDC_UPWARD);
    if (g_search.replaceMode) g_search.prompt = Checked(dialog, IDC_PROMPT);
    if (textMode) {
        // Typed in Windows-1251; searched in the bytes of the display.
        g_search.textLength = StoreText(g_search.text, TypedToDisplay(search, DisplayCodePage()));
        if (g_search.replaceMode)
            g_search.replacementLength = StoreText(
                g_search.replacement, TypedToDisplay(FieldText(dialog, IDC_REPLACEMENT), DisplayCodePage()));
    } else {
        // Hex bytes are searched as bytes of the display: with match case
        // off their letters fold like typed ones.
        g_search.textLength = StoreHex(g_search.text, search);
        if (g_search.replaceMode)
            g_search.replacementLength = StoreHex(g_search.replacement, FieldText(dialog, IDC_HEX_REPLACEMENT));
    }
    if (textMode) WriteHistory(search);
    return true;
}

bool ConfirmFind(HWND dialog) { return Confirm(dialog, IDOK); }

bool SearchDialogButton(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_HEX:
        if (HIWORD(wParam) == BN_CLICKED) ToggleHex(dialog);
        return true;
    case IDC_REPLACE_ALL:
        if (Confirm(dialog, IDC_REPLACE_ALL)) EndDialog(dialog, IDOK);
        return true;
    default:
        return false;
    }
}

constexpr DialogBehaviour kSearchDialog{OpenDialog, ConfirmFind, SearchDialogButton};

} // namespace

INT_PTR RunFindDialog() { return RunModalDialog(IDD_SEARCH, kSearchDialog); }

void RunSearchDialog() {
    if (!EditorWindow()) return;
    const INT_PTR result = RunFindDialog();
    if (result != IDOK || !EditorWindow()) return;
    if (g_search.wholeText) {
        g_search.position = g_search.upward ? TextLength(EditorWindow()) : 0;
    } else {
        g_search.position = GetSelection(EditorWindow()).cpMin;
    }
    if (g_search.replaceMode) {
        ReplaceRun();
    } else {
        SearchStep();
    }
}

void FindNext() {
    if (!EditorWindow()) return;
    if (g_search.replaceMode) {
        ReplaceRun();
    } else if (!SearchStep()) {
        RunSearchDialog();
    }
}

void SearchDialogCommand(int id) {
    g_search.replaceMode = id == IDM_REPLACE;
    RunSearchDialog();
}

void FindNextCommand(int) { FindNext(); }
