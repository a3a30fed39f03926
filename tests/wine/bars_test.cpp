// The toolbar, the status bar and the menu images, driven by the messages a
// user's actions produce.
#include "tests/wine/editor_fixture.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/editor/bar_tables.h"
#include "document/documents.h"

namespace {

std::string StatusText(int field) {
    const LRESULT length = SendMessageA(g_statusBar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(field), 0);
    std::string text(static_cast<size_t>(LOWORD(length)) + 1, '\0');
    SendMessageA(g_statusBar, SB_GETTEXTA, static_cast<WPARAM>(field), reinterpret_cast<LPARAM>(text.data()));
    text.resize(LOWORD(length));
    return text;
}

// The data an owner-drawn field was given (the code-page field's name).
std::string OwnerDrawnFieldName(int field) {
    auto* name = reinterpret_cast<const char*>(SendMessageA(g_statusBar, SB_GETTEXTA, static_cast<WPARAM>(field), 0));
    return name ? name : "";
}

std::vector<int> ToolbarCommands() {
    std::vector<int> commands;
    const LRESULT n = SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        TBBUTTON button{};
        SendMessageA(g_toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        commands.push_back((button.fsStyle & TBSTYLE_SEP) ? 0 : button.idCommand);
    }
    return commands;
}

const std::vector<int> kDefaults = {IDM_NEW, IDM_OPEN, IDM_SAVE, 0, IDM_CUT, IDM_COPY, IDM_PASTE, 0, IDM_UNDO};

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, g_shell.mainWindow, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The tooltip window whose tool is the status bar's path field.
BOOL CALLBACK FindStatusTooltip(HWND window, LPARAM found) {
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpiA(cls, TOOLTIPS_CLASSA) != 0) return TRUE;
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = g_statusBar;
    tool.uId = kStatusBarId;
    if (!SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND StatusTooltip() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindStatusTooltip, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TooltipOfPathField() {
    HWND tip = StatusTooltip();
    if (!tip) return "<no tooltip>";
    // The ANSI message gives at most 80 characters; the Unicode one all.
    std::vector<wchar_t> wide(4096, L'\0');
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = g_statusBar;
    tool.uId = kStatusBarId;
    tool.lpszText = wide.data();
    SendMessageW(tip, TTM_GETTEXTW, wide.size(), reinterpret_cast<LPARAM>(&tool));
    std::vector<char> text(4096, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
    return text.data();
}

// What the toolbar asks for when it shows a button's tooltip.
std::string ButtonTooltip(int command) {
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(g_toolbar, TB_GETTOOLTIPS, 0, 0));
    info.hdr.idFrom = static_cast<UINT_PTR>(command);
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(g_shell.mainWindow, WM_NOTIFY, static_cast<WPARAM>(command), reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "";
}

BYTE ButtonState(int command) {
    return static_cast<BYTE>(SendMessageA(g_toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0));
}

void Restart() {
    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor());
}

class Bars : public EditorTest {};

TEST_F(Bars, FreshStartShowsDefaultButtonsAboveAndStatusBelow) {
    ASSERT_TRUE(g_toolbar);
    ASSERT_TRUE(g_statusBar);
    EXPECT_EQ(ToolbarCommands(), kDefaults);
    TBBUTTON save{};
    SendMessageA(g_toolbar, TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&save));
    EXPECT_EQ(save.iBitmap, IDM_SAVE - 1);
    // Toolbar on top, status bar at the bottom, the editor in between.
    RECT client;
    GetClientRect(g_shell.mainWindow, &client);
    const RECT toolbar = ChildRect(g_toolbar);
    const RECT status = ChildRect(g_statusBar);
    const RECT editor = ChildRect(EditorWindow());
    EXPECT_EQ(toolbar.top, 0);
    EXPECT_GT(toolbar.bottom, 15);
    EXPECT_EQ(editor.top, toolbar.bottom - toolbar.top);
    EXPECT_EQ(editor.bottom, client.bottom - (status.bottom - status.top));
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_EQ(editor.right, client.right);
    // The status bar's fields on a new document.
    EXPECT_EQ(StatusText(kCaretField), "   1:1");
    EXPECT_EQ(StatusText(kModeField), "Вставка");
    EXPECT_EQ(StatusText(kPathField), "БезИмени");
    EXPECT_EQ(OwnerDrawnFieldName(kCodePageField), "ANSI (1251)");
    EXPECT_EQ(TooltipOfPathField(), "БезИмени");
}

TEST_F(Bars, BarsSwitchedOffLeaveTheEditorFillingTheWindow) {
    WriteSettingDword("TL", 0);
    WriteSettingDword("ST", 0);
    Restart();
    EXPECT_FALSE(g_toolbar);
    EXPECT_FALSE(g_statusBar);
    RECT client;
    GetClientRect(g_shell.mainWindow, &client);
    const RECT editor = ChildRect(EditorWindow());
    EXPECT_EQ(editor.top, 0);
    EXPECT_EQ(editor.bottom, client.bottom);
    // Nothing breaks without them.
    Type("ab");
    Key(VK_INSERT);
    Command(IDM_SHOW_OEM);
    UpdateToolbarState();
    EXPECT_EQ(Text(), B("ab"));
}

TEST_F(Bars, TooltipsAreTheCommandCaptions) {
    EXPECT_EQ(ButtonTooltip(IDM_SAVE), "&Сохранить");
    EXPECT_EQ(ButtonTooltip(IDM_TO_KOI8), "-> KOI8");
    EXPECT_EQ(ButtonTooltip(IDM_PREVIEW), "Пред&варительный просмотр...");
}

TEST_F(Bars, ButtonStatesFollowTheDocumentWhenIdle) {
    // A Run button besides the defaults, as a user could add one.
    TBBUTTON run{ToolbarItemOfCommand(IDM_RUN)->image, IDM_RUN, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0};
    SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&run));
    if (OpenClipboard(g_shell.mainWindow)) {
        EmptyClipboard();
        CloseClipboard();
    }
    UpdateToolbarState();
    for (int id : {IDM_CUT, IDM_COPY, IDM_PASTE, IDM_UNDO, IDM_SAVE, IDM_RUN})
        EXPECT_EQ(ButtonState(id), TBSTATE_INDETERMINATE) << id;
    EXPECT_EQ(ButtonState(IDM_OPEN), TBSTATE_ENABLED);

    Type("hello");
    Select(0, 2);
    UpdateToolbarState();
    for (int id : {IDM_CUT, IDM_COPY, IDM_UNDO, IDM_SAVE}) EXPECT_EQ(ButtonState(id), TBSTATE_ENABLED) << id;
    EXPECT_EQ(ButtonState(IDM_PASTE), TBSTATE_INDETERMINATE);
    Command(IDM_COPY);
    UpdateToolbarState();
    EXPECT_EQ(ButtonState(IDM_PASTE), TBSTATE_ENABLED);

    // Run needs a saved file that is not a .txt.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "lork2-bars-run.bat";
    harness::AnswerNextDialog(harness::ChooseFile(path));
    Command(IDM_SAVE_AS);
    UpdateToolbarState();
    EXPECT_EQ(ButtonState(IDM_RUN), TBSTATE_ENABLED);
    EXPECT_EQ(ButtonState(IDM_SAVE), TBSTATE_INDETERMINATE);
    DeleteFileA(path.c_str());
}

TEST_F(Bars, CaretFieldFollowsKeysAndClicks) {
    Load(B("first\r\nsecond\r\nthird"));
    Select(15, 15); // the start of the third line
    Key(VK_SHIFT);  // any key release brings the field up to date
    EXPECT_EQ(StatusText(kCaretField), "   1:3");
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(StatusText(kCaretField), "   3:3");
    Key(VK_UP);
    EXPECT_EQ(StatusText(kCaretField), "   3:2");
    Key('X');
    EXPECT_EQ(StatusText(kCaretField), "   4:2");
    Key(VK_RETURN);
    EXPECT_EQ(StatusText(kCaretField), "   1:3");
    Key(VK_BACK);
    EXPECT_EQ(StatusText(kCaretField), "   4:2");
    // A selection shows its start.
    Select(2, 10);
    Key(VK_SHIFT);
    EXPECT_EQ(StatusText(kCaretField), "   3:1");

    // A key that leaves the selection where it was does not rewrite the field.
    SendMessageA(g_statusBar, SB_SETTEXTA, kCaretField, reinterpret_cast<LPARAM>("marker"));
    Key(VK_SHIFT);
    EXPECT_EQ(StatusText(kCaretField), "marker");

    // A click: the main window is told after the click has moved the caret.
    const LRESULT pos = SendMessageA(EditorWindow(), EM_POSFROMCHAR, 1, 0);
    POINTL point{};
    SendMessageA(EditorWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), 1);
    (void)pos;
    PostMessageA(EditorWindow(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x + 1, point.y + 2));
    PostMessageA(EditorWindow(), WM_LBUTTONUP, 0, MAKELPARAM(point.x + 1, point.y + 2));
    harness::Pump();
    EXPECT_EQ(Selection().cpMin, 1);
    EXPECT_EQ(StatusText(kCaretField), "   2:1");
}

TEST_F(Bars, CaretFieldShowsTheSelectionStartAfterOverwritingDoubleClicksAndDrags) {
    Load(B("first\r\nsecond word\r\nthird"));
    // Typing in overwrite mode moves the column with every character.
    Select(7, 7);
    Key(VK_INSERT);
    ASSERT_TRUE(OverwriteMode());
    for (const char* expected : {"   2:2", "   3:2", "   4:2"}) {
        Key('X');
        EXPECT_EQ(StatusText(kCaretField), expected);
    }
    EXPECT_EQ(Text(), B("first\r\nxxxond word\r\nthird"));
    Key(VK_INSERT);
    ASSERT_FALSE(OverwriteMode());

    auto pointOf = [](int32_t i) {
        POINTL point{};
        SendMessageA(EditorWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), i);
        return MAKELPARAM(point.x + 1, point.y + 2);
    };
    // What the field shows for a position: column, then line.
    auto fieldOf = [](int32_t pos) {
        const LRESULT line = SendMessageA(EditorWindow(), EM_EXLINEFROMCHAR, 0, pos);
        const LRESULT first = SendMessageA(EditorWindow(), EM_LINEINDEX, line, 0);
        char text[32];
        wsprintfA(text, "%4d:%d", static_cast<int>(pos - first + 1), static_cast<int>(line + 1));
        return std::string(text);
    };
    // A double click in "word": the field shows where the control's
    // selection starts, not the column clicked.
    const LPARAM inWord = pointOf(17);
    SendMessageA(EditorWindow(), WM_LBUTTONDOWN, MK_LBUTTON, inWord);
    SendMessageA(EditorWindow(), WM_LBUTTONUP, 0, inWord);
    harness::Pump();
    ASSERT_EQ(Selection().cpMin, 17);
    EXPECT_EQ(StatusText(kCaretField), "  11:2");
    SendMessageA(EditorWindow(), WM_LBUTTONDBLCLK, MK_LBUTTON, inWord);
    SendMessageA(EditorWindow(), WM_LBUTTONUP, 0, inWord);
    harness::Pump();
    ASSERT_NE(Selection().cpMin, 17);
    EXPECT_EQ(StatusText(kCaretField), fieldOf(Selection().cpMin));

    // A selection drawn backwards from the click: its start, while drawing
    // and after the release.
    PostMessageA(EditorWindow(), WM_LBUTTONDOWN, MK_LBUTTON, pointOf(12));
    harness::Pump();
    EXPECT_EQ(StatusText(kCaretField), "   6:2");
    PostMessageA(EditorWindow(), WM_MOUSEMOVE, MK_LBUTTON, pointOf(2));
    harness::Pump();
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(StatusText(kCaretField), "   3:1");
    PostMessageA(EditorWindow(), WM_LBUTTONUP, 0, pointOf(2));
    harness::Pump();
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 12);
    EXPECT_EQ(StatusText(kCaretField), "   3:1");
}

TEST_F(Bars, ModeCodePageKeyboardAndPathFields) {
    Key(VK_INSERT);
    EXPECT_EQ(StatusText(kModeField), "Замена");
    Key(VK_INSERT);
    EXPECT_EQ(StatusText(kModeField), "Вставка");

    Command(IDM_SHOW_OEM);
    EXPECT_EQ(OwnerDrawnFieldName(kCodePageField), "OEM (866)");
    harness::PressKey(EditorWindow(), VK_F2, false, false, true); // Alt+F2
    EXPECT_EQ(OwnerDrawnFieldName(kCodePageField), "KOI8 R");
    Command(IDM_SHOW_ANSI);
    EXPECT_EQ(OwnerDrawnFieldName(kCodePageField), "ANSI (1251)");

    // A language switch redraws the keyboard field.
    SendMessageA(g_statusBar, SB_SETTEXTA, kKeyboardField, reinterpret_cast<LPARAM>("x"));
    SendMessageA(EditorWindow(), WM_INPUTLANGCHANGE, 204, reinterpret_cast<LPARAM>(GetKeyboardLayout(0)));
    EXPECT_EQ(HIWORD(SendMessageA(g_statusBar, SB_GETTEXTLENGTHA, kKeyboardField, 0)) & (SBT_OWNERDRAW | SBT_POPOUT),
              SBT_OWNERDRAW | SBT_POPOUT);

    // Loading a file: its path in the field and the tooltip.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "lork2-bars-path.txt";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    ASSERT_TRUE(LoadFile(path.c_str()));
    EXPECT_EQ(StatusText(kPathField), g_document.fileName);
    EXPECT_EQ(TooltipOfPathField(), g_document.fileName);
    EXPECT_NE(std::string(g_document.fileName).find("lork2-bars-path.txt"), std::string::npos);
    DeleteFileA(path.c_str());
}

TEST_F(Bars, LongestPathShowsWholeInFieldAndTooltip) {
    // A path of 259 characters, the longest the program keeps.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + "lork2-long";
    CreateDirectoryA(path.c_str(), nullptr);
    std::vector<std::string> made = {path};
    while (path.size() < 259 - 20) {
        path += "\\" + std::string(std::min<size_t>(40, 259 - 20 - path.size()), 'd');
        CreateDirectoryA(path.c_str(), nullptr);
        made.push_back(path);
    }
    path += "\\";
    path += std::string(259 - path.size() - 4, 'f') + ".txt";
    ASSERT_EQ(path.size(), 259u);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    ASSERT_TRUE(LoadFile(path.c_str()));
    EXPECT_EQ(StatusText(kPathField).size(), 259u);
    EXPECT_EQ(StatusText(kPathField), g_document.fileName);
    EXPECT_EQ(TooltipOfPathField(), g_document.fileName);
    Command(IDM_NEW);
    DeleteFileA(path.c_str());
    for (size_t i = made.size(); i-- > 0;) RemoveDirectoryA(made[i].c_str());
}

TEST_F(Bars, ClickOnTheCodePageFieldOpensTheEncodingsMenu) {
    RECT field;
    SendMessageA(g_statusBar, SB_GETRECT, kCodePageField, reinterpret_cast<LPARAM>(&field));
    const LPARAM inside = MAKELPARAM(field.left + 30, (field.top + field.bottom) / 2);
    const int before = harness::PopupMenusOpened();
    SendMessageA(g_statusBar, WM_LBUTTONUP, 0, inside);
    EXPECT_EQ(harness::PopupMenusOpened(), before + 1);
    SendMessageA(g_statusBar, WM_RBUTTONUP, 0, inside);
    EXPECT_EQ(harness::PopupMenusOpened(), before + 2);
    RECT caret;
    SendMessageA(g_statusBar, SB_GETRECT, kCaretField, reinterpret_cast<LPARAM>(&caret));
    SendMessageA(g_statusBar, WM_LBUTTONUP, 0, MAKELPARAM(caret.left + 5, (caret.top + caret.bottom) / 2));
    EXPECT_EQ(harness::PopupMenusOpened(), before + 2);
}

// The width of a text in the status bar's font.
int StatusTextWidth(const char* text) {
    HDC dc = GetDC(g_statusBar);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(g_statusBar, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(g_statusBar, dc);
    return size.cx;
}

// Run by tests/e2e/high_dpi.sh at 144 and 192 dots per inch as well.
TEST_F(Bars, EachFieldHoldsItsWidestTextAndTheImagesGrowWithTheDotsPerInch) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int scale = ImageScaleAt(dpi);
    BITMAP strip{};
    ASSERT_TRUE(GetObjectA(g_shell.menuImagesOwn, sizeof strip, &strip));
    EXPECT_EQ(strip.bmHeight, 16 * scale);
    const int image = strip.bmHeight + strip.bmHeight / 8;
    char caret[32];
    FormatCaretField(9999, 99999, caret, sizeof caret);
    struct Field {
        int field;
        int image;
        std::vector<const char*> texts;
    };
    const Field fields[] = {{kCaretField, 0, {caret}},
                            {kKeyboardField, 0, {"RU", "EN", "UK"}},
                            {kCodePageField, image, {"ANSI (1251)", "OEM (866)", "KOI8 R"}},
                            {kModeField, 0, {"Вставка", "Замена"}}};
    RECT previous{0, 0, 0, 0};
    for (const Field& f : fields) {
        RECT r{};
        SendMessageA(g_statusBar, SB_GETRECT, static_cast<WPARAM>(f.field), reinterpret_cast<LPARAM>(&r));
        EXPECT_GE(r.left, previous.right) << "field " << f.field << " at " << dpi << " dpi";
        EXPECT_GE(r.bottom - r.top, f.image ? strip.bmHeight : 1);
        // The bar draws a text some three pixels in from either edge.
        for (const char* text : f.texts)
            EXPECT_LE(f.image + StatusTextWidth(text) + 6, r.right - r.left)
                << "'" << text << "' in field " << f.field << " at " << dpi << " dpi";
        previous = r;
    }
    // The toolbar's buttons hold the enlarged images.
    EXPECT_GE(HIWORD(SendMessageA(g_toolbar, TB_GETBUTTONSIZE, 0, 0)), 16 * scale);
}

// Pixels of an owner-drawn menu item drawn into a bitmap.
std::vector<COLORREF> DrawnMenuItem(int id, UINT state) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = static_cast<UINT>(id);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = reinterpret_cast<HWND>(g_shell.popups[5]);
    dis.hDC = dc;
    dis.rcItem = {0, 0, 120, 20};
    SendMessageA(g_shell.mainWindow, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 18; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST_F(Bars, MenuImagesShowTheCodePageInUseAndWordWrap) {
    EXPECT_NE(DrawnMenuItem(IDM_SHOW_OEM, ODS_CHECKED), DrawnMenuItem(IDM_SHOW_OEM, 0));
    EXPECT_NE(DrawnMenuItem(IDM_SHOW_OEM, ODS_CHECKED), DrawnMenuItem(IDM_SHOW_KOI8, ODS_CHECKED));
    EXPECT_NE(DrawnMenuItem(IDM_WORD_WRAP, ODS_CHECKED), DrawnMenuItem(IDM_WORD_WRAP, 0));
    EXPECT_NE(DrawnMenuItem(IDM_CUT, 0), DrawnMenuItem(IDM_CUT, ODS_GRAYED));
    // The popups carry the checks the items are drawn with.
    Command(IDM_SHOW_KOI8);
    EXPECT_TRUE(harness::MenuItemState(IDM_SHOW_KOI8) & MF_CHECKED);
    EXPECT_FALSE(harness::MenuItemState(IDM_SHOW_ANSI) & MF_CHECKED);
}

} // namespace

namespace {

// The controls of the customise dialog the toolbar opens.
constexpr int kCustomiseAvailable = 201;
constexpr int kCustomiseReset = 202;
constexpr int kCustomiseCurrent = 203;
constexpr int kCustomiseRemove = 204;
constexpr int kCustomiseHelp = 205;
constexpr int kCustomiseAdd = 1;

void Pick(HWND dialog, int list, int index) {
    HWND box = GetDlgItem(dialog, list);
    SendMessageA(box, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(list, LBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void Click(HWND dialog, int id) { harness::PressButton(id)(dialog); }

// IDM_TOOLBAR_SETUP with the customise dialog answered by `steps`, then closed.
void Customise(const std::function<void(HWND)>& steps) {
    harness::AnswerNextDialog([steps](HWND dialog) {
        steps(dialog);
        Click(dialog, IDCANCEL);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_TOOLBAR_SETUP, 0);
    harness::Pump();
}

class Customising : public EditorTest {};

TEST_F(Customising, ChangesAreSavedAndRestoredAtTheNextStart) {
    int offered = 0;
    Customise([&](HWND d) {
        offered = static_cast<int>(SendDlgItemMessageA(d, kCustomiseAvailable, LB_GETCOUNT, 0, 0));
        Pick(d, kCustomiseCurrent, 0);
        Pick(d, kCustomiseAvailable, 1);
        Click(d, kCustomiseAdd);
    });
    // The catalogue's 33 buttons less the 7 on the toolbar, and a separator.
    EXPECT_EQ(offered, 33 - 7 + 1);
    const std::vector<int> changed = ToolbarCommands();
    ASSERT_EQ(changed.size(), kDefaults.size() + 1);
    EXPECT_NE(changed, kDefaults);
    const ToolbarItem* added = ToolbarItemOfCommand(changed[0]);
    ASSERT_TRUE(added);
    TBBUTTON first{};
    SendMessageA(g_toolbar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(first.iBitmap, added->image);

    Restart();
    EXPECT_EQ(ToolbarCommands(), changed);

    // Reset goes back to what was saved last, not to the default buttons.
    Customise([&](HWND d) {
        Pick(d, kCustomiseCurrent, 1);
        SendMessageA(g_toolbar, TB_DELETEBUTTON, 1, 0); // changed behind the dialog's back, not saved
        Click(d, kCustomiseReset);
    });
    EXPECT_EQ(ToolbarCommands(), changed);
}

TEST_F(Customising, RemovingButtonsIsSavedToo) {
    Customise([](HWND d) {
        Pick(d, kCustomiseCurrent, 0);
        Click(d, kCustomiseRemove);
    });
    std::vector<int> expected(kDefaults.begin() + 1, kDefaults.end());
    EXPECT_EQ(ToolbarCommands(), expected);
    Restart();
    EXPECT_EQ(ToolbarCommands(), expected);
}

TEST_F(Customising, ALayoutThatRestoresNoButtonGivesTheDefaultsAndIsReplaced) {
    const DWORD foreign[] = {999, 0, 998, 0};
    WriteSettingBinary("TBS", foreign, sizeof foreign);
    Restart();
    EXPECT_EQ(ToolbarCommands(), kDefaults);
    // Reset from such a value leaves the defaults too.
    Customise([](HWND d) { Click(d, kCustomiseReset); });
    EXPECT_EQ(ToolbarCommands(), kDefaults);
    // The next change saves over it.
    Customise([](HWND d) {
        Pick(d, kCustomiseCurrent, 0);
        Click(d, kCustomiseRemove);
    });
    Restart();
    EXPECT_EQ(ToolbarCommands(), std::vector<int>(kDefaults.begin() + 1, kDefaults.end()));
}

// Also at 144 and 192 dots per inch, by tests/e2e/high_dpi.sh.
TEST_F(Customising, BothListsShowEveryCaptionWholeBesideItsImage) {
    int side = 0, ignored = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(g_toolbar, TB_GETIMAGELIST, 0, 0)), &side, &ignored);
    std::vector<RECT> rects;
    Customise([&](HWND d) {
        for (int id : {kCustomiseAvailable, kCustomiseAdd, kCustomiseCurrent, kCustomiseReset}) {
            RECT r{};
            GetWindowRect(GetDlgItem(d, id), &r);
            rects.push_back(r);
        }
        for (int list : {kCustomiseAvailable, kCustomiseCurrent}) {
            HWND box = GetDlgItem(d, list);
            RECT client{};
            GetClientRect(box, &client);
            HDC dc = GetDC(box);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
            // The dialog draws an item's image in a box six pixels wider, then its caption.
            for (const ToolbarItem& item : ToolbarCatalogue()) {
                RECT text{0, 0, 0, 0};
                DrawTextA(dc, CommandCaption(item.command).data(), -1, &text, DT_CALCRECT | DT_SINGLELINE);
                EXPECT_LE(1 + side + 8 + text.right, client.right) << CommandCaption(item.command) << " in " << list;
            }
            SelectObject(dc, old);
            ReleaseDC(box, dc);
        }
    });
    ASSERT_EQ(rects.size(), 4u);
    for (size_t i = 1; i < rects.size(); ++i) EXPECT_LE(rects[i - 1].right, rects[i].left) << i;
}

TEST_F(Customising, OpensTheToolbarWhenSwitchedOffAndAsksForHelp) {
    WriteSettingDword("TL", 0);
    Restart();
    ASSERT_FALSE(g_toolbar);
    // The help button posts the help command; it is taken from the queue
    // before it runs (the help itself is not what is tested here).
    bool helpPosted = false;
    Customise([&](HWND d) {
        Click(d, kCustomiseHelp);
        MSG msg;
        helpPosted = PeekMessageA(&msg, g_shell.mainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
                     LOWORD(msg.wParam) == IDM_HELP;
    });
    ASSERT_TRUE(g_toolbar);
    EXPECT_EQ(ToolbarCommands(), kDefaults);
    EXPECT_TRUE(helpPosted);
    RECT toolbar, editor;
    GetWindowRect(g_toolbar, &toolbar);
    GetWindowRect(EditorWindow(), &editor);
    EXPECT_EQ(editor.top, toolbar.bottom);
}

} // namespace
