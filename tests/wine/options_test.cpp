// The options dialog: what it shows, what "ОК" stores and what changes at
// once in the running window.
#include "tests/wine/editor_fixture.h"

#include <commctrl.h>

#include <functional>
#include <string>

#include "app/main_window.h"
#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/dialogs/options_ids.h"
#include "core/editor/bar_tables.h"

namespace {

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::string ItemText(HWND dialog, int id) {
    char text[64] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Runs the options command; `change` sees the dialog as it opened and sets
// its controls, then the button is pressed.
void RunOptions(const std::function<void(HWND)>& change, int button = IDOK) {
    harness::AnswerNextDialog([change, button](HWND dialog) {
        change(dialog);
        harness::PressButton(button)(dialog);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_OPTIONS, 0);
    harness::Pump();
}

// The six switches and "ignore line breaks", in the dialog's order.
constexpr int kSwitches[7] = {IDC_OPT_TOOLBAR,        IDC_OPT_STATUS_BAR,  IDC_OPT_UNDO,
                              IDC_OPT_REMEMBER_WINDOW, IDC_OPT_REMEMBER_CARET, IDC_OPT_BIG_BUTTONS,
                              IDC_OPT_IGNORE_LINE_BREAKS};

// What the dialog shows: the switches and the three paragraph measures.
void ReadOptions(HWND dialog, bool (&shown)[7], std::string (&measures)[3]) {
    for (int k = 0; k < 7; ++k) shown[k] = Checked(dialog, kSwitches[k]);
    measures[0] = ItemText(dialog, IDC_OPT_FIRST_INDENT);
    measures[1] = ItemText(dialog, IDC_OPT_LEFT_INDENT);
    measures[2] = ItemText(dialog, IDC_OPT_RIGHT_INDENT);
}

int ImageSize() {
    auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(g_toolbar, TB_GETIMAGELIST, 0, 0));
    int cx = 0;
    int cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    return cx;
}

std::string CaretField() {
    char text[64] = "";
    SendMessageA(g_statusBar, SB_GETTEXTA, kCaretField, reinterpret_cast<LPARAM>(text));
    return text;
}

class Options : public EditorTest {};

TEST_F(Options, ShowsTheSettingsAndStoresEverySwitch) {
    bool shown[7] = {};
    std::string measures[3];
    RunOptions([&](HWND d) {
        ReadOptions(d, shown, measures);
        // Every switch the other way, three new measures.
        for (int id : kSwitches) CheckDlgButton(d, id, Checked(d, id) ? BST_UNCHECKED : BST_CHECKED);
        SetDlgItemTextA(d, IDC_OPT_FIRST_INDENT, "5");
        SetDlgItemTextA(d, IDC_OPT_LEFT_INDENT, "80");
        SetDlgItemTextA(d, IDC_OPT_RIGHT_INDENT, "128");
    });
    // A fresh user: both bars, undo on, window and caret remembered, small
    // buttons; "IG" absent shows checked.
    const bool fresh[7] = {true, true, true, true, true, false, true};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(shown[k], fresh[k]) << k;
    EXPECT_EQ(measures[0], "0");
    EXPECT_EQ(measures[1], "0");
    EXPECT_EQ(measures[2], "80");

    EXPECT_EQ(ReadSettingDword("TL", -1), 0);
    EXPECT_EQ(ReadSettingDword("ST", -1), 0);
    EXPECT_EQ(ReadSettingDword("NO", -1), 1);
    EXPECT_EQ(ReadSettingDword("AU", -1), 0);
    EXPECT_EQ(ReadSettingDword("RP", -1), 0);
    EXPECT_EQ(ReadSettingDword("BIG", -1), 1);
    EXPECT_EQ(ReadSettingDword("IG", -1), 0);
    EXPECT_EQ(ReadSettingDword("FI", -1), 5);
    EXPECT_EQ(ReadSettingDword("LI", -1), 80);
    EXPECT_EQ(ReadSettingDword("RI", -1), 128);
    // Both bars went at once, and the editor took their place.
    EXPECT_FALSE(g_toolbar);
    EXPECT_FALSE(g_statusBar);
    RECT client, editor;
    GetClientRect(g_shell.mainWindow, &client);
    GetWindowRect(EditorWindow(), &editor);
    EXPECT_EQ(editor.bottom - editor.top, client.bottom);

    // Opened again, it shows what was stored.
    RunOptions([&](HWND d) {
        ReadOptions(d, shown, measures);
    }, IDCANCEL);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(shown[k], !fresh[k]) << k;
    EXPECT_EQ(measures[0], "5");
    EXPECT_EQ(measures[1], "80");
    EXPECT_EQ(measures[2], "128");
}

TEST_F(Options, NumbersThatAreNotAcceptedStoreTheDefaults) {
    WriteSettingDword("FI", 3);
    WriteSettingDword("LI", 4);
    WriteSettingDword("RI", 60);
    RunOptions([](HWND d) {
        SetDlgItemTextA(d, IDC_OPT_FIRST_INDENT, "");
        SetDlgItemTextA(d, IDC_OPT_LEFT_INDENT, "81");
        SetDlgItemTextA(d, IDC_OPT_RIGHT_INDENT, "9");
    });
    EXPECT_EQ(ReadSettingDword("FI", -1), 0);
    EXPECT_EQ(ReadSettingDword("LI", -1), 0);
    EXPECT_EQ(ReadSettingDword("RI", -1), 80);
    RunOptions([](HWND d) { SetDlgItemTextA(d, IDC_OPT_RIGHT_INDENT, "10"); });
    EXPECT_EQ(ReadSettingDword("RI", -1), 10);
}

TEST_F(Options, CancelChangesNothing) {
    HWND toolbar = g_toolbar;
    RunOptions([](HWND d) {
        CheckDlgButton(d, IDC_OPT_TOOLBAR, BST_UNCHECKED);
        SetDlgItemTextA(d, IDC_OPT_RIGHT_INDENT, "100");
    }, IDCANCEL);
    EXPECT_EQ(g_toolbar, toolbar);
    EXPECT_EQ(ReadSettingDword("TL", -1), -1);
    EXPECT_EQ(ReadSettingDword("RI", -1), -1);
}

TEST_F(Options, UndoOffDiscardsTheHistoryAndKeepsSaveAvailable) {
    Type("abc");
    ASSERT_FALSE(UndoHistoryEmpty());
    RunOptions([](HWND d) { CheckDlgButton(d, IDC_OPT_UNDO, BST_UNCHECKED); });
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_EQ(ReadSettingDword("NO", -1), 1);
    EXPECT_FALSE(harness::MenuItemState(IDM_SAVE) & MF_GRAYED);
    UpdateToolbarState();
    EXPECT_EQ(SendMessageA(g_toolbar, TB_GETSTATE, IDM_SAVE, 0), TBSTATE_ENABLED);
    Type("d");
    EXPECT_TRUE(UndoHistoryEmpty());

    // On again: an empty history that records from now on.
    RunOptions([](HWND d) { CheckDlgButton(d, IDC_OPT_UNDO, BST_CHECKED); });
    EXPECT_TRUE(UndoHistoryEmpty());
    Type("e");
    EXPECT_FALSE(UndoHistoryEmpty());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("abcd"));
}

TEST_F(Options, BigButtonsRecreateTheToolbarWithLargeImages) {
    ASSERT_EQ(ImageSize(), 16);
    HWND before = g_toolbar;
    RunOptions([](HWND d) { CheckDlgButton(d, IDC_OPT_BIG_BUTTONS, BST_CHECKED); });
    ASSERT_TRUE(g_toolbar);
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(ImageSize(), 24);
    EXPECT_EQ(SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0), 9);
    RECT toolbar, editor;
    GetWindowRect(g_toolbar, &toolbar);
    GetWindowRect(EditorWindow(), &editor);
    EXPECT_EQ(editor.top, toolbar.bottom);
    // "ОК" with nothing changed still makes the toolbar anew.
    before = g_toolbar;
    RunOptions([](HWND) {});
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(ImageSize(), 24);
}

TEST_F(Options, StatusBarSwitchedBackOnShowsTheCaretAtOnce) {
    Load(B("one\r\ntwo\r\nthree"));
    RunOptions([](HWND d) { CheckDlgButton(d, IDC_OPT_STATUS_BAR, BST_UNCHECKED); });
    ASSERT_FALSE(g_statusBar);
    Select(7, 7);
    Key(VK_INSERT);
    RunOptions([](HWND d) { CheckDlgButton(d, IDC_OPT_STATUS_BAR, BST_CHECKED); });
    ASSERT_TRUE(g_statusBar);
    EXPECT_EQ(CaretField(), "   3:2");
    char mode[32] = "";
    SendMessageA(g_statusBar, SB_GETTEXTA, kModeField, reinterpret_cast<LPARAM>(mode));
    EXPECT_STREQ(mode, "Замена");
    RECT client, status;
    GetClientRect(g_shell.mainWindow, &client);
    GetWindowRect(g_statusBar, &status);
    MapWindowPoints(nullptr, g_shell.mainWindow, reinterpret_cast<POINT*>(&status), 2);
    EXPECT_EQ(status.bottom, client.bottom);
}

} // namespace
