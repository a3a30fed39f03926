// The encodings dialog and the three colour commands, answered as a user
// fills them.
#include "codepage/colours.h"
#include "tests/wine/editor_fixture.h"

#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/dialogs/codepage_dialog_ids.h"

namespace {

using harness::AnswerNextDialog;
using harness::PickEntry;
using harness::PressButton;

int ListSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0));
}

std::string ListEntry(HWND dialog, int id, int index) {
    char text[64] = "";
    SendDlgItemMessageA(dialog, id, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

// Converts with the pair chosen in the encodings dialog.
harness::DialogAnswer ConvertFromTo(int source, int target) {
    return [source, target](HWND dialog) {
        PickEntry(dialog, IDC_ENCODINGS_SOURCE, source);
        PickEntry(dialog, IDC_ENCODINGS_TARGET, target);
        PressButton(IDOK)(dialog);
    };
}

class EncodingsDialog : public DialogTest {};

TEST_F(EncodingsDialog, FirstUseProposesAnsiToKoi8ThenTheLastPairConverted) {
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2")); // Привет in 1251
    int source = -2;
    int target = -2;
    std::string names;
    std::string caption;
    HICON icon = nullptr;
    AnswerNextDialog([&](HWND dialog) {
        source = ListSelection(dialog, IDC_ENCODINGS_SOURCE);
        target = ListSelection(dialog, IDC_ENCODINGS_TARGET);
        for (int list : {IDC_ENCODINGS_SOURCE, IDC_ENCODINGS_TARGET})
            for (int i = 0; i < 5; ++i) names += ListEntry(dialog, list, i) + "|";
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        harness::SaveScreenshot(dialog, "encodings");
        PressButton(IDOK)(dialog);
    });
    Command(IDM_ENCODINGS);
    EXPECT_EQ(caption, "Кодировки");
    EXPECT_EQ(icon, g_shell.smallIcon);
    EXPECT_EQ(source, 0);
    EXPECT_EQ(target, 2);
    EXPECT_EQ(names, "ANSI (1251)|OEM (866)|KOI8 R|ISO|MAC|ANSI (1251)|OEM (866)|KOI8 R|ISO|MAC|");
    EXPECT_EQ(Text(), B("\xF0\xD2\xC9\xD7\xC5\xD4")); // Привет in KOI8-R

    AnswerNextDialog(ConvertFromTo(2, 4)); // KOI8 R -> MAC
    Command(IDM_ENCODINGS);
    EXPECT_EQ(Text(), B("\x8F\xF0\xE8\xE2\xE5\xF2")); // Привет in Mac Cyrillic
    AnswerNextDialog([&](HWND dialog) {
        source = ListSelection(dialog, IDC_ENCODINGS_SOURCE);
        target = ListSelection(dialog, IDC_ENCODINGS_TARGET);
        PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_ENCODINGS);
    EXPECT_EQ(source, 2);
    EXPECT_EQ(target, 4);
    EXPECT_EQ(ReadSettingDword("CP1", -1), 2);
    EXPECT_EQ(ReadSettingDword("CP2", -1), 4);
}

TEST_F(EncodingsDialog, WholeTextConversionLeavesTheDisplayCodePageAndIsOneUndoStep) {
    const Bytes text = B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n");
    Load(text);
    AnswerNextDialog(ConvertFromTo(0, 1));
    Command(IDM_ENCODINGS);
    EXPECT_EQ(Text(), B("\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0!\r\n"));
    EXPECT_EQ(DisplayCodePage(), 0);
    EXPECT_TRUE(harness::MenuItemState(IDM_SHOW_ANSI) & MF_CHECKED);
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(DisplayCodePage(), 0);
}

TEST_F(EncodingsDialog, SameCodePageOnBothSidesAndTheSelectionAlone) {
    // « € » and an em dash have no CP866 character: 1251 -> 1251 approximates them.
    Load(B("ab \xAB\x88\xBB \x97 \xC0\xC1"));
    Select(3, 8);
    AnswerNextDialog(ConvertFromTo(0, 0));
    Command(IDM_ENCODINGS);
    EXPECT_EQ(Text(), B("ab <?> - \xC0\xC1"));
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Selection().cpMax, 8);
    // 866 -> 866 leaves every byte.
    Bytes all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    Load(all);
    AnswerNextDialog(ConvertFromTo(1, 1));
    Command(IDM_ENCODINGS);
    EXPECT_EQ(Text(), all);
}

// Dark pixels along the editor's first line (the dialog opens in the middle
// of the screen, below it): the text, and the selection, which the control
// draws inverted.
int DarkPixelsOnFirstLine() {
    int width = 0;
    int height = 0;
    const std::vector<unsigned char> pixels = harness::CaptureWindow(EditorWindow(), width, height);
    const int stride = (width * 3 + 3) & ~3;
    int n = 0;
    for (int y = std::max(0, height - 30); y < height; ++y) // bottom-up rows: the top 30
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            n += p[0] < 96 && p[1] < 96 && p[2] < 96;
        }
    return n;
}

TEST_F(EncodingsDialog, TheSelectionStaysVisibleBehindTheDialogAndEscapeChangesNothing) {
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2"));
    Select(1, 1);
    const int textAlone = DarkPixelsOnFirstLine();
    Select(1, 4);
    int selectedWhileOpen = 0;
    AnswerNextDialog([&](HWND dialog) {
        selectedWhileOpen = DarkPixelsOnFirstLine();
        PickEntry(dialog, IDC_ENCODINGS_TARGET, 1);
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); // Escape
    });
    Command(IDM_ENCODINGS);
    EXPECT_GT(selectedWhileOpen, textAlone + 100) << "the selection is drawn";
    EXPECT_FALSE(GetWindowLongPtrA(EditorWindow(), GWL_STYLE) & ES_NOHIDESEL) << "hidden again without the focus";
    EXPECT_EQ(Text(), B("\xCF\xF0\xE8\xE2\xE5\xF2"));
    EXPECT_FALSE(Modified());
    EXPECT_EQ(ReadSettingDword("CP2", -1), -1);
    EXPECT_EQ(Selection().cpMin, 1);
    EXPECT_EQ(Selection().cpMax, 4);
}

// --- Colours -----------------------------------------------------------------

// Controls of the system colour dialog (dlgs.h of the Windows SDK; missing
// from mingw-w64's).
constexpr int kColourRed = 706;
constexpr int kColourGreen = 707;
constexpr int kColourBlue = 708;
constexpr int kColourAddCustom = 712;
constexpr int kColourCustomCells = 721;

// Types the colour into the dialog's red, green and blue fields; optionally
// adds it to the custom colours; then OK.
harness::DialogAnswer PickColour(COLORREF colour, bool addToCustom = false) {
    return [colour, addToCustom](HWND dialog) {
        SetDlgItemInt(dialog, kColourRed, GetRValue(colour), FALSE);
        SetDlgItemInt(dialog, kColourGreen, GetGValue(colour), FALSE);
        SetDlgItemInt(dialog, kColourBlue, GetBValue(colour), FALSE);
        if (addToCustom) PressButton(kColourAddCustom)(dialog);
        PressButton(IDOK)(dialog);
    };
}

// Clicks the first custom colour, then OK.
harness::DialogAnswer PickFirstCustomColour() {
    return [](HWND dialog) {
        RECT cell;
        GetWindowRect(GetDlgItem(dialog, kColourCustomCells), &cell);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&cell), 2);
        const LPARAM at = MAKELPARAM(cell.left + 4, cell.top + 4);
        SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(dialog, WM_LBUTTONUP, 0, at);
        PressButton(IDOK)(dialog);
    };
}

COLORREF EditorBackground() {
    const LRESULT was = SendMessageA(EditorWindow(), EM_SETBKGNDCOLOR, 0, RGB(1, 2, 3));
    SendMessageA(EditorWindow(), EM_SETBKGNDCOLOR, 0, was);
    return static_cast<COLORREF>(was);
}

COLORREF TextColourAt(int32_t position) {
    const CHARRANGE kept = GetSelection(EditorWindow());
    SetSelection(EditorWindow(), position, position + 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(EditorWindow(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SetSelection(EditorWindow(), kept.cpMin, kept.cpMax);
    return format.crTextColor;
}

using Colours = EncodingsDialog;

TEST_F(Colours, BackgroundIsStoredAppliedAndGivenToANewControl) {
    Type("abc");
    HICON icon = nullptr;
    AnswerNextDialog([&icon](HWND dialog) {
        icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        harness::SaveScreenshot(dialog, "colour");
        PickColour(RGB(255, 255, 200))(dialog);
    });
    Command(IDM_BACKGROUND_COLOUR);
    EXPECT_EQ(icon, g_shell.smallIcon);
    EXPECT_EQ(static_cast<COLORREF>(ReadSettingDword("Bk", 0)), RGB(255, 255, 200));
    EXPECT_EQ(EditorBackground(), RGB(255, 255, 200));
    Command(IDM_WORD_WRAP); // the control is made anew
    EXPECT_EQ(EditorBackground(), RGB(255, 255, 200));
    EXPECT_EQ(Text(), B("abc"));
}

TEST_F(Colours, TextColourCoversTheWholeTextAndOutlivesACodePageSwitch) {
    Load(B("one <b>two</b>"));
    Select(1, 2);
    AnswerNextDialog(PickColour(RGB(0, 128, 0)));
    Command(IDM_TEXT_COLOUR);
    EXPECT_EQ(static_cast<COLORREF>(ReadSettingDword("Cl", 0)), RGB(0, 128, 0));
    EXPECT_EQ(TextColourAt(0), RGB(0, 128, 0));
    EXPECT_EQ(TextColourAt(10), RGB(0, 128, 0));
    EXPECT_FALSE(Modified()) << "a colour changes no byte";
    Command(IDM_SHOW_OEM);
    EXPECT_EQ(TextColourAt(10), RGB(0, 128, 0));

    // HTML tags take their colour at once; the text between them keeps its own.
    AnswerNextDialog(PickColour(RGB(200, 0, 0)));
    Command(IDM_HTML_COLOUR);
    EXPECT_EQ(static_cast<COLORREF>(ReadSettingDword("HTML", 0)), RGB(200, 0, 0));
    EXPECT_EQ(TextColourAt(4), RGB(200, 0, 0));
    EXPECT_EQ(TextColourAt(7), RGB(0, 128, 0));
    EXPECT_EQ(TextColourAt(10), RGB(200, 0, 0));
}

TEST_F(Colours, CancelChangesNothingAndCustomColoursAreSharedByTheThreeDialogs) {
    AnswerNextDialog([](HWND dialog) {
        SetDlgItemInt(dialog, kColourRed, 9, FALSE);
        PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_TEXT_COLOUR);
    EXPECT_EQ(ReadSettingDword("Cl", -1), -1);

    // A colour made in the background dialog is offered by the other two.
    AnswerNextDialog(PickColour(RGB(12, 34, 56), true));
    Command(IDM_BACKGROUND_COLOUR);
    EXPECT_EQ(g_customColours[0], RGB(12, 34, 56));
    AnswerNextDialog(PickFirstCustomColour());
    Command(IDM_TEXT_COLOUR);
    EXPECT_EQ(static_cast<COLORREF>(ReadSettingDword("Cl", 0)), RGB(12, 34, 56));
    AnswerNextDialog(PickFirstCustomColour());
    Command(IDM_HTML_COLOUR);
    EXPECT_EQ(static_cast<COLORREF>(ReadSettingDword("HTML", 0)), RGB(12, 34, 56));
}

} // namespace
