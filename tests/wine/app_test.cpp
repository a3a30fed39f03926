// The application shell: start-up, menus, mnemonics, accelerators, the close
// path and the window placement.
#include <gtest/gtest.h>
#include <windows.h>

#include <richedit.h>
#include <string>

#include "app/main_window.h"
#include "app/menus.h"
#include "app/program.h"
#include "base/settings.h"
#include "core/app/menu_tables.h"
#include "editor/editor.h"
#include "tests/wine/harness.h"

namespace {

class Shell : public testing::Test {
protected:
    void SetUp() override {
        harness::ClearSettings();
        ASSERT_TRUE(harness::StartEditor());
    }
    void TearDown() override {
        harness::StopEditor();
        harness::ClearSettings();
    }
};

std::string WindowText(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(Shell, StartUpCreatesTheWindowsInOrder) {
    EXPECT_EQ(ClassOf(g_shell.mainWindow), "LORK2");
    EXPECT_EQ(WindowText(g_shell.mainWindow), "[БезИмени]-LORK2");
    EXPECT_TRUE(IsWindowVisible(g_shell.mainWindow));
    // The marker: a hidden child whose text is the lower-cased document name.
    EXPECT_EQ(ClassOf(g_shell.markerWindow), "Lork2 - RuleZ");
    EXPECT_EQ(GetParent(g_shell.markerWindow), g_shell.mainWindow);
    EXPECT_FALSE(IsWindowVisible(g_shell.markerWindow));
    EXPECT_EQ(WindowText(g_shell.markerWindow), "безимени");
    // The editor: a visible rich-edit child with the focus and no text.
    ASSERT_NE(EditorWindow(), nullptr);
    EXPECT_EQ(ClassOf(EditorWindow()), "RICHEDIT");
    EXPECT_EQ(GetParent(EditorWindow()), g_shell.mainWindow);
    EXPECT_TRUE(IsWindowVisible(EditorWindow()));
    EXPECT_EQ(GetFocus(), EditorWindow());
    EXPECT_EQ(GetWindowTextLengthA(EditorWindow()), 0);
    EXPECT_EQ(SendMessageA(EditorWindow(), EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(GetMenu(g_shell.mainWindow), g_shell.menuBar);
    EXPECT_NE(g_shell.accelerators, nullptr);
    // Wrap off by default: the control scrolls horizontally.
    EXPECT_TRUE(GetWindowLongPtrA(EditorWindow(), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_EQ(GetWindowLongPtrA(EditorWindow(), GWL_EXSTYLE) & (WS_EX_STATICEDGE | WS_EX_ACCEPTFILES),
              WS_EX_STATICEDGE | WS_EX_ACCEPTFILES);
}

TEST_F(Shell, SizeLimitIsHalfTheMemoryWithLowBitsSet) {
    EXPECT_EQ(g_shell.sizeLimit & 0xFFFFF, 0xFFFFF);
    EXPECT_GT(g_shell.sizeLimit, 0);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    unsigned long long half = status.ullTotalPhys / 2;
    if (half < 0x7FFFFFFF) EXPECT_EQ(static_cast<unsigned long long>(g_shell.sizeLimit), half | 0xFFFFF);
    else EXPECT_EQ(g_shell.sizeLimit, 0x7FFFFFFF);
    EXPECT_EQ(SendMessageA(EditorWindow(), EM_GETLIMITTEXT, 0, 0), g_shell.sizeLimit);
}

struct ItemInfo {
    UINT id;
    UINT type;
};

ItemInfo ItemAt(HMENU menu, int position) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_TYPE;
    char text[128] = "";
    mii.dwTypeData = text;
    mii.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii);
    return {mii.wID, mii.fType};
}

TEST_F(Shell, MenuBarHasEightPopupsWithTheirCaptions) {
    const char* captions[] = {"&Файл", "&Правка", "&Выравнивание", "&Разное",
                              "П&оиск", "&Кодировки", "Шр&ифт", "&?"};
    ASSERT_EQ(GetMenuItemCount(g_shell.menuBar), 8);
    for (int i = 0; i < 8; ++i) {
        char text[64] = "";
        GetMenuStringA(g_shell.menuBar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, captions[i]);
        EXPECT_EQ(GetSubMenu(g_shell.menuBar, i), g_shell.popups[i]);
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_TYPE;
        GetMenuItemInfoA(g_shell.menuBar, static_cast<UINT>(i), TRUE, &mii);
        EXPECT_EQ((mii.fType & MFT_RIGHTJUSTIFY) != 0, i == 7) << i;
        EXPECT_EQ(mii.fType & MFT_OWNERDRAW, 0u);
    }
}

TEST_F(Shell, PopupItemsInDisplayOrder) {
    const std::vector<std::vector<int>> expected = {
        {7, 8, 38, 9, 26, 0, 900, 901, 902, 903, 904, 905, 906, 907, 908, 909, 0, 43},
        {4, 5, 0, 1, 2, 3, 6, 0, 47, 25},
        {19, 20, 21, 22},
        {11, 39, 0, 23, 0, 37, 44, 55, 0, 24, 10, 15},
        {13, 14, 28},
        {16, 18, 17, 0, 32, 34, 27, 56, 29, 31, 30, 0, 35, 36, 33},
        {41, 42, 40, 0, 46, 45, 51, 0, 48, 49, 0, 52},
        {12, 53, 54, 50},
    };
    for (int p = 0; p < 8; ++p) {
        SCOPED_TRACE(p);
        ASSERT_EQ(GetMenuItemCount(g_shell.popups[p]), static_cast<int>(expected[p].size()));
        for (size_t k = 0; k < expected[p].size(); ++k) {
            ItemInfo item = ItemAt(g_shell.popups[p], static_cast<int>(k));
            if (expected[p][k] == 0) {
                EXPECT_TRUE(item.type & MFT_SEPARATOR) << k;
                EXPECT_FALSE(item.type & MFT_OWNERDRAW) << k;
            } else {
                EXPECT_EQ(item.id, static_cast<UINT>(expected[p][k])) << k;
                EXPECT_TRUE(item.type & MFT_OWNERDRAW) << k;
                EXPECT_EQ((item.type & MFT_MENUBARBREAK) != 0, item.id == 29) << k;
                // Every item starts enabled and unchecked.
                UINT state = GetMenuState(g_shell.popups[p], item.id, MF_BYCOMMAND);
                EXPECT_EQ(state & (MF_GRAYED | MF_CHECKED), 0u) << k;
            }
        }
    }
    // Opened, the code-page menu marks the display code page (ANSI at start).
    EXPECT_TRUE(harness::MenuItemState(IDM_SHOW_ANSI) & MF_CHECKED);
    EXPECT_FALSE(harness::MenuItemState(IDM_SHOW_OEM) & MF_CHECKED);
    EXPECT_FALSE(harness::MenuItemState(IDM_SHOW_KOI8) & MF_CHECKED);
    EXPECT_FALSE(harness::MenuItemState(IDM_WORD_WRAP) & MF_CHECKED);
}

TEST_F(Shell, CaptionsAreExact1251Bytes) {
    EXPECT_EQ(std::string(MenuItemText(16)), "&\xC0NSI (1251)");
    EXPECT_EQ(std::string(MenuItemText(17)), "&\xCE" "EM (866)");
    EXPECT_EQ(std::string(MenuItemText(18)), "&\xCAOI8 R");
    EXPECT_EQ(std::string(MenuItemText(52)), "&\xCDTML :(\xEE\xE1\xED\xEE\xE2\xE8\xF2\xFC)");
    EXPECT_EQ(std::string(MenuItemText(35)), "\"=D8=E0\"");
    EXPECT_EQ(std::string(MenuItemText(48)), "&\xD0\xE0\xE7\xEC\xE5\xF0\t\t+");
    EXPECT_EQ(std::string(MenuItemText(IDM_LAST_MENU_COMMAND + 1)), "");
    EXPECT_EQ(std::string(MenuItemText(900)), ""); // no recent file yet
}

TEST_F(Shell, OwnerDrawnItemsAreMeasuredFromTheirCaptions) {
    MEASUREITEMSTRUCT open{ODT_MENU, 0, 8, 0, 0, 0};
    SendMessageA(g_shell.mainWindow, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&open));
    EXPECT_GE(open.itemHeight, 18u);
    EXPECT_GT(open.itemWidth, 18u);
    MEASUREITEMSTRUCT longer{ODT_MENU, 0, 10, 0, 0, 0};
    SendMessageA(g_shell.mainWindow, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&longer));
    EXPECT_GT(longer.itemWidth, open.itemWidth);
    MEASUREITEMSTRUCT recent{ODT_MENU, 0, 900, 0, 0, 0};
    SendMessageA(g_shell.mainWindow, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&recent));
    EXPECT_EQ(recent.itemHeight, 1u);
}

TEST_F(Shell, MenuStateFollowsTheDocument) {
    SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[1]), 1);
    // Nothing selected: cut, copy and delete are grey; unmodified: save is grey.
    for (UINT id : {1u, 2u, 6u, 9u, 23u})
        EXPECT_TRUE(GetMenuState(g_shell.menuBar, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    SetWindowTextA(EditorWindow(), "some text");
    SendMessageA(EditorWindow(), EM_SETSEL, 0, 4);
    SendMessageA(EditorWindow(), EM_SETMODIFY, TRUE, 0);
    SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[1]), 1);
    for (UINT id : {1u, 2u, 6u, 9u})
        EXPECT_FALSE(GetMenuState(g_shell.menuBar, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    // The system menu (high word set) leaves the states alone.
    SendMessageA(EditorWindow(), EM_SETSEL, 0, 0);
    SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, 0, MAKELPARAM(0, 1));
    EXPECT_FALSE(GetMenuState(g_shell.menuBar, 2, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(Shell, MenuCharRunsTheFirstEnabledEntryOnThatKey) {
    harness::CommandRecorder recorder;
    recorder.passOn = false;
    // "В&ыход" in the File popup.
    LRESULT r = SendMessageA(g_shell.mainWindow, WM_MENUCHAR, MAKEWPARAM(static_cast<BYTE>('\xFB'), MF_POPUP),
                             reinterpret_cast<LPARAM>(g_shell.popups[0]));
    EXPECT_EQ(r, MAKELONG(0, MNC_CLOSE));
    ASSERT_EQ(recorder.commands.size(), 1u);
    EXPECT_EQ(recorder.commands[0], 43);
    // A letter with no entry in that popup is ignored.
    r = SendMessageA(g_shell.mainWindow, WM_MENUCHAR, MAKEWPARAM('q', MF_POPUP), reinterpret_cast<LPARAM>(g_shell.popups[0]));
    EXPECT_EQ(r, MNC_IGNORE);
    // Digits open the recent files.
    recorder.commands.clear();
    SendMessageA(g_shell.mainWindow, WM_MENUCHAR, MAKEWPARAM('3', MF_POPUP), reinterpret_cast<LPARAM>(g_shell.popups[0]));
    ASSERT_EQ(recorder.commands.size(), 1u);
    EXPECT_EQ(recorder.commands[0], 903);
}

TEST_F(Shell, MenuCharSkipsGreyItems) {
    harness::CommandRecorder recorder;
    recorder.passOn = false;
    // "&Копировать" (IDM_COPY) is grey while nothing is selected.
    SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[1]), 1);
    LRESULT r = SendMessageA(g_shell.mainWindow, WM_MENUCHAR, MAKEWPARAM(static_cast<BYTE>('\xCA'), MF_POPUP),
                             reinterpret_cast<LPARAM>(g_shell.popups[1]));
    EXPECT_EQ(r, MNC_IGNORE);
    EXPECT_TRUE(recorder.commands.empty());
}

TEST_F(Shell, MenuCharInFontPopupPrefersSizeDownOverAnsiFont) {
    harness::CommandRecorder recorder;
    recorder.passOn = false;
    // "Р&азмер\t\t-" (IDM_SIZE_DOWN) was inserted before "&АNSI..." (IDM_FONT_ANSI): the
    // letters а and А lie on one key, so typing either runs IDM_SIZE_DOWN.
    for (char typed : {'\xE0', '\xC0'}) {
        recorder.commands.clear();
        SendMessageA(g_shell.mainWindow, WM_MENUCHAR, MAKEWPARAM(static_cast<BYTE>(typed), MF_POPUP),
                     reinterpret_cast<LPARAM>(g_shell.popups[6]));
        ASSERT_EQ(recorder.commands.size(), 1u);
        EXPECT_EQ(recorder.commands[0], 49);
    }
}

TEST_F(Shell, AcceleratorsReachCommandsThroughTheEditor) {
    harness::CommandRecorder recorder;
    recorder.passOn = false;
    harness::PressKey(EditorWindow(), VK_F4);
    harness::PressKey(EditorWindow(), VK_F2, true);
    harness::PressKey(EditorWindow(), 'W', true);
    harness::PressKey(EditorWindow(), VK_F7, true);
    harness::PressKey(EditorWindow(), VK_F2, false, false, true);
    EXPECT_EQ(recorder.commands, (std::vector<int>{300, 17, 100, 14, 18}));
}

TEST_F(Shell, GreyMenuCommandsAreNotSentByTheirShortcuts) {
    harness::CommandRecorder recorder;
    recorder.passOn = false;
    harness::PressKey(EditorWindow(), 'S', true); // save, unmodified
    harness::PressKey(EditorWindow(), 'C', true); // copy, nothing selected
    harness::PressKey(EditorWindow(), 'X', true); // cut, nothing selected
    harness::PressKey(EditorWindow(), 'Z', true); // undo, nothing to take back
    EXPECT_TRUE(recorder.commands.empty());
    SetWindowTextA(EditorWindow(), "text");
    SendMessageA(EditorWindow(), EM_SETMODIFY, TRUE, 0);
    SendMessageA(EditorWindow(), EM_SETSEL, 0, 2);
    harness::PressKey(EditorWindow(), 'S', true);
    harness::PressKey(EditorWindow(), 'C', true);
    EXPECT_EQ(recorder.commands, (std::vector<int>{9, 2}));
}

TEST_F(Shell, MaximiseOrRestoreToggles) {
    harness::PressKey(EditorWindow(), VK_F4);
    EXPECT_TRUE(IsZoomed(g_shell.mainWindow));
    harness::PressKey(EditorWindow(), VK_F4);
    EXPECT_FALSE(IsZoomed(g_shell.mainWindow));
}

TEST_F(Shell, SelectAllSelectsTheWholeText) {
    SetWindowTextA(EditorWindow(), "abc\r\ndef");
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_SELECT_ALL, 0);
    CHARRANGE range{};
    SendMessageA(EditorWindow(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.cpMin, 0);
    EXPECT_GE(range.cpMax, GetWindowTextLengthA(EditorWindow()));
}

TEST_F(Shell, UnknownCommandsDoNothing) {
    SetWindowTextA(EditorWindow(), "abc");
    for (int id : {5, 57, 99, 299, 301, 899, 910, 12345}) SendMessageA(g_shell.mainWindow, WM_COMMAND, id, 0);
    harness::Pump();
    EXPECT_TRUE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

// Waits for the quit message the destroyed window posts.
int QuitCode() {
    MSG msg;
    for (int i = 0; i < 100; ++i) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return -1;
}

TEST_F(Shell, EscapeClosesThroughTheClosePath) {
    harness::PressKey(EditorWindow(), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(QuitCode(), 0);
    EXPECT_EQ(EditorWindow(), nullptr);
    EXPECT_EQ(g_shell.popups[0], nullptr);
}

TEST_F(Shell, ExitCommandClosesTheWindow) {
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(QuitCode(), 0);
}

class Placement : public testing::Test {
protected:
    void SetUp() override { harness::ClearSettings(); }
    void TearDown() override {
        harness::StopEditor();
        harness::ClearSettings();
    }
    static void CloseEditor() {
        SendMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
        harness::StopEditor();
    }
};

TEST_F(Placement, SavedAtExitAndRestoredAtStart) {
    ASSERT_TRUE(harness::StartEditor("lork2.exe", SW_SHOWDEFAULT));
    MoveWindow(g_shell.mainWindow, 40, 50, 500, 400, TRUE);
    CloseEditor();
    WINDOWPLACEMENT stored{};
    ASSERT_TRUE(ReadSettingBinary("DEF", &stored, sizeof stored));
    EXPECT_EQ(stored.rcNormalPosition.left, 40);
    EXPECT_EQ(stored.rcNormalPosition.right, 540);

    ASSERT_TRUE(harness::StartEditor("lork2.exe", SW_SHOWNORMAL));
    RECT r;
    GetWindowRect(g_shell.mainWindow, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 400);
}

TEST_F(Placement, NotUsedWhenStartedMinimisedOrMaximised) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    wp.showCmd = SW_SHOWNORMAL;
    wp.rcNormalPosition = {10, 20, 310, 220};
    WriteSettingBinary("DEF", &wp, sizeof wp);
    ASSERT_TRUE(harness::StartEditor("lork2.exe", SW_SHOWMAXIMIZED));
    EXPECT_TRUE(IsZoomed(g_shell.mainWindow));
    MoveWindow(g_shell.mainWindow, 70, 80, 300, 300, TRUE);
    CloseEditor();
    WINDOWPLACEMENT after{};
    ASSERT_TRUE(ReadSettingBinary("DEF", &after, sizeof after));
    EXPECT_EQ(after.rcNormalPosition.left, 10); // not written at exit
}

TEST_F(Placement, NotUsedWhenSwitchedOff) {
    WriteSettingDword("AU", 0);
    ASSERT_TRUE(harness::StartEditor("lork2.exe", SW_SHOWNORMAL));
    CloseEditor();
    WINDOWPLACEMENT after{};
    EXPECT_FALSE(ReadSettingBinary("DEF", &after, sizeof after));
}

TEST_F(Placement, OnlyAValueOfExactlyFortyFourBytesIsUsed) {
    unsigned char longer[48] = {};
    auto* wp = reinterpret_cast<WINDOWPLACEMENT*>(longer);
    wp->length = sizeof(WINDOWPLACEMENT);
    wp->showCmd = SW_SHOWNORMAL;
    wp->rcNormalPosition = {11, 22, 211, 222};
    WriteSettingBinary("DEF", longer, sizeof longer);
    ASSERT_TRUE(harness::StartEditor("lork2.exe", SW_SHOWNORMAL));
    RECT r;
    GetWindowRect(g_shell.mainWindow, &r);
    EXPECT_NE(r.left, 11);
}

TEST(StartUp, StoredWordWrapChecksTheMenuItem) {
    harness::ClearSettings();
    WriteSettingDword("WW", 0);
    ASSERT_TRUE(harness::StartEditor());
    EXPECT_TRUE(harness::MenuItemState(IDM_WORD_WRAP) & MF_CHECKED);
    EXPECT_FALSE(GetWindowLongPtrA(EditorWindow(), GWL_STYLE) & ES_AUTOHSCROLL);
    harness::StopEditor();
    harness::ClearSettings();
}

TEST(StartUp, CommandLineFileThatDoesNotExistLeavesTheDocumentUntitled) {
    harness::ClearSettings();
    ASSERT_TRUE(harness::StartEditor("lork2.exe C:\\no\\such\\file.txt"));
    EXPECT_STREQ(g_commandLinePath, "C:\\no\\such\\file.txt");
    EXPECT_STREQ(g_document.fileName, "БезИмени");
    harness::StopEditor();
}

TEST(StartUp, OverlongCommandLinePathIsRefused) {
    harness::ClearSettings();
    std::string line = "lork2.exe C:\\" + std::string(300, 'a') + ".txt";
    ASSERT_TRUE(harness::StartEditor(line.c_str()));
    EXPECT_STREQ(g_commandLinePath, "");
    harness::StopEditor();
}

} // namespace

namespace {

LRESULT CALLBACK OtherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A class of that name registered by someone else makes registration fail.
void TakeClassName(const char* name) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = OtherProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

TEST(StartUp, EndsWhenTheMarkerClassCannotBeRegistered) {
    harness::ClearSettings();
    TakeClassName("Lork2 - RuleZ");
    EXPECT_FALSE(harness::StartEditor());
    EXPECT_EQ(FindWindowA("LORK2", nullptr), nullptr);
    UnregisterClassA("Lork2 - RuleZ", GetModuleHandleA(nullptr));
}

TEST(StartUp, EndsWhenTheMainClassCannotBeRegistered) {
    harness::ClearSettings();
    TakeClassName("LORK2");
    EXPECT_FALSE(harness::StartEditor());
    UnregisterClassA("LORK2", GetModuleHandleA(nullptr));
    UnregisterClassA("Lork2 - RuleZ", GetModuleHandleA(nullptr));
}

} // namespace

namespace {

class FontSize : public Shell {};

TEST_F(FontSize, SizeUpFromTwoHundredStopsAtFiveHundredTwenty) {
    int presses = 0;
    for (int i = 0; i < 20; ++i) {
        int32_t before = ReadSettingDword("SizeW", 200);
        SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_SIZE_UP, 0);
        if (ReadSettingDword("SizeW", 200) != before) ++presses;
    }
    EXPECT_EQ(presses, 16);
    EXPECT_EQ(ReadSettingDword("SizeW", 200), 520);
    EXPECT_EQ(ReadSettingDword("SizeD", -1), -1); // only the display code page's size is written
}

TEST_F(FontSize, SizeDownStopsAtEighty) {
    for (int i = 0; i < 20; ++i) harness::PressKey(EditorWindow(), VK_OEM_MINUS, true);
    EXPECT_EQ(ReadSettingDword("SizeW", 200), 80);
}

} // namespace
