// The character table: its 224 characters in the editor's font, inserted
// directly or through the clipboard.
#include "tests/wine/editor_fixture.h"

#include <string>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/dialogs/char_table_text.h"
#include "core/dialogs/dialog_ids.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

Bytes TableBytes(HWND dialog) {
    HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
    Bytes out(300, 0);
    out.resize(StreamBytesOut(table, false, out.data(), static_cast<int32_t>(out.size())));
    return out;
}

void SelectInTable(HWND dialog, int32_t start, int32_t end) { SetSelection(GetDlgItem(dialog, IDC_CHAR_TABLE), start, end); }

// Offset of a byte in the table text.
int32_t TablePosition(unsigned char b) { return (b - 0x20) / 32 * 34 + (b - 0x20) % 32; }

std::string ClipboardText(UINT format) {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(format)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

class CharTable : public DialogTest {};

TEST_F(CharTable, ShowsTheBytesFrom32To255InTheEditorsFontAndBackground) {
    WriteSettingDword("Bk", RGB(250, 240, 200));
    WriteSettingString("FontW", "Liberation Mono");
    WriteSettingDword("SizeW", 240);
    Command(IDM_SHOW_ANSI);
    Bytes shown;
    LRESULT lines = 0;
    CHARFORMATA format{};
    COLORREF background = 0;
    std::string caption;
    HICON icon = nullptr;
    AnswerNextDialog([&](HWND dialog) {
        shown = TableBytes(dialog);
        HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
        lines = SendMessageA(table, EM_GETLINECOUNT, 0, 0);
        SetSelection(table, 40, 41);
        format.cbSize = sizeof format;
        SendMessageA(table, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        background = static_cast<COLORREF>(SendMessageA(table, EM_SETBKGNDCOLOR, 0, 0));
        SendMessageA(table, EM_SETBKGNDCOLOR, 0, background);
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        SetSelection(table, 0, 0);
        harness::SaveScreenshot(dialog, "char-table");
        PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_CHARACTER_TABLE);
    const auto expected = CharTableText();
    EXPECT_EQ(shown, Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(lines, 7);
    EXPECT_STREQ(format.szFaceName, "Liberation Mono");
    EXPECT_EQ(format.yHeight, 240);
    EXPECT_EQ(background, RGB(250, 240, 200));
    EXPECT_EQ(caption, "Таблица символов");
    EXPECT_EQ(icon, g_shell.smallIcon);
    EXPECT_EQ(Text(), B("")) << "closing inserts nothing";
}

TEST_F(CharTable, DirectInsertionKeepsTheDialogOpenAndEachIsOneUndoStep) {
    Type("xy");
    Select(1, 1);
    AnswerNextDialog([](HWND dialog) {
        // Across the end of the first line: "~?", the line end, "@A".
        SelectInTable(dialog, TablePosition('>'), TablePosition('B'));
        PressButton(IDOK)(dialog);
        SelectInTable(dialog, TablePosition('z'), TablePosition('z') + 1);
        SendMessageA(dialog, WM_COMMAND, IDOK, 0); // Enter
        SelectInTable(dialog, 5, 5);
        PressButton(IDOK)(dialog); // nothing selected: nothing inserted
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_CHAR_TABLE));
        PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_CHARACTER_TABLE);
    EXPECT_EQ(Text(), B("x>?\r\n@Azy"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("x>?\r\n@Ay"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("xy"));
}

TEST_F(CharTable, In866TheTableShowsItsGlyphsAndTheirBytesGoInUnchanged) {
    Command(IDM_SHOW_OEM);
    std::u16string box;
    AnswerNextDialog([&](HWND dialog) {
        HWND table = GetDlgItem(dialog, IDC_CHAR_TABLE);
        SetSelection(table, TablePosition(0xC9), TablePosition(0xCE));
        GETTEXTEX get{};
        char16_t text[16] = {};
        get.cb = sizeof text;
        get.flags = GT_SELECTION;
        get.codepage = 1200;
        SendMessageA(table, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text));
        box = text;
        harness::SaveScreenshot(dialog, "char-table-866");
        PressButton(IDOK)(dialog);
        PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_CHARACTER_TABLE);
    EXPECT_EQ(box, u"\u2554\u2569\u2566\u2560\u2550");
    EXPECT_EQ(Text(), B("\xC9\xCA\xCB\xCC\xCD"));
}

TEST_F(CharTable, CopyInsertsThroughTheClipboardAndCloses) {
    Load(B("[old]"));
    Select(1, 4);
    AnswerNextDialog([](HWND dialog) {
        SelectInTable(dialog, TablePosition('A'), TablePosition('D'));
        PressButton(IDC_CHAR_TABLE_COPY)(dialog);
    });
    Command(IDM_CHARACTER_TABLE); // returns only once the dialog has closed
    EXPECT_EQ(Text(), B("[ABC]"));
    EXPECT_EQ(ClipboardText(CF_TEXT), "ABC");
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("[old]"));

    // In 866 the clipboard gets the 866 bytes as OEM text.
    Command(IDM_SHOW_OEM);
    Select(1, 4);
    AnswerNextDialog([](HWND dialog) {
        SelectInTable(dialog, TablePosition(0xB3), TablePosition(0xB5));
        PressButton(IDC_CHAR_TABLE_COPY)(dialog);
    });
    Command(IDM_CHARACTER_TABLE);
    EXPECT_EQ(Text(), B("[\xB3\xB4]"));
    EXPECT_EQ(ClipboardText(CF_OEMTEXT), "\xB3\xB4");
}

} // namespace
