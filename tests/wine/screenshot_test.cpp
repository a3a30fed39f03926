// The same document shown in each display code page, the toolbars and two
// dialogs, saved as pictures under build/screenshots/ for a person to look
// at, and each checked for what it must show: its size, the editor's
// background colour, text where the lines are and nothing below them.
#include "tests/wine/editor_fixture.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using Screenshots = EditorTest;

// A window's picture as it was saved.
struct Shot {
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    COLORREF At(int x, int y) const { return harness::PixelAt(pixels, width, height, x, y); }
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Pixels of `area` within `tolerance` of `colour` on every channel.
int CountNear(const Shot& shot, const RECT& area, COLORREF colour, int tolerance) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (Near(shot.At(x, y), colour, tolerance)) ++n;
    return n;
}

int DistinctColours(const Shot& shot, const RECT& area) {
    std::set<COLORREF> colours;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) colours.insert(shot.At(x, y));
    return static_cast<int>(colours.size());
}

int Area(const RECT& r) { return std::max(0L, r.right - r.left) * std::max(0L, r.bottom - r.top); }

// A child's client area in the coordinates of `top`'s picture.
RECT ClientIn(HWND child, HWND top) {
    RECT client;
    GetClientRect(child, &client);
    MapWindowPoints(child, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT frame;
    GetWindowRect(top, &frame);
    OffsetRect(&client, -frame.left, -frame.top);
    return client;
}

RECT WindowIn(HWND child, HWND top) {
    RECT r;
    GetWindowRect(child, &r);
    RECT frame;
    GetWindowRect(top, &frame);
    OffsetRect(&r, -frame.left, -frame.top);
    return r;
}

// The picture is of the whole window, as large as it is on the screen.
void ExpectWindowSize(const Shot& shot, HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(shot.width, r.right - r.left);
    EXPECT_EQ(shot.height, r.bottom - r.top);
}

// The editor shows the document on its background: the colour "Bk" (the
// window colour for a new user) fills it, text-coloured pixels lie where
// the lines are (at least `textPixels`; a line of a dozen letters makes about
// 200), and below the last line there is only background.
void ExpectDocumentShown(const Shot& shot, int textPixels) {
    ExpectWindowSize(shot, g_shell.mainWindow);
    const RECT editor = ClientIn(EditorWindow(), g_shell.mainWindow);
    ASSERT_GT(Area(editor), 0);
    const COLORREF background = static_cast<COLORREF>(ReadSetting(setting::Background));
    const COLORREF textColour = static_cast<COLORREF>(ReadSetting(setting::TextColour));
    EXPECT_GT(CountNear(shot, editor, background, 0), Area(editor) * 7 / 10) << "the background is not the window colour";
    // The text ends with a line break: the empty last line starts below the text.
    POINTL end{};
    SendMessageA(EditorWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), TextLength(EditorWindow()));
    ASSERT_GT(end.y, 0);
    RECT lines = editor;
    lines.bottom = std::min<LONG>(editor.top + end.y, editor.bottom);
    EXPECT_GE(CountNear(shot, lines, textColour, 96), textPixels) << "no text where the lines are";
    RECT below = editor;
    below.top = lines.bottom + 2;
    if (Area(below) > 0) {
        EXPECT_EQ(CountNear(shot, below, background, 0), Area(below)) << "marks below the text";
    }
}

Shot SaveChecked(HWND window, const std::string& name) {
    Shot shot;
    EXPECT_TRUE(harness::SaveScreenshot(window, name, &shot.pixels, &shot.width, &shot.height)) << name;
    return shot;
}

TEST_F(Screenshots, SameDocumentInEachDisplayCodePage) {
    // One document: a CP866 box with Russian text, the KOI8-R alphabet and
    // the 1251 alphabet, each line labelled in ASCII.
    const Bytes text = B("866 box:   \xC9\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
                         "866 text:  \xBA \x8F\xE0\xA8\xA2\xA5\xE2 \xAC\xA8\xE0 \xBA\r\n"
                         "           \xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC\r\n"
                         "KOI8-R:    \xF0\xD2\xC9\xD7\xC5\xD4, \xED\xC9\xD2! \xE1\xE2\xF7\xE7\xE4\xE5\xB3\xF6\r\n"
                         "1251:      \xCF\xF0\xE8\xE2\xE5\xF2, \xCC\xE8\xF0! \xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\r\n");
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 0, 0, 640, 300, SWP_SHOWWINDOW);
    Load(text);
    const char* names[] = {"display-1251", "display-866", "display-koi8r"};
    std::vector<std::vector<unsigned char>> shots;
    for (int cp = 0; cp < 3; ++cp) {
        Command(16 + cp);
        RedrawWindow(g_shell.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        harness::Pump();
        Sleep(200);
        harness::Pump();
        SCOPED_TRACE(names[cp]);
        const Shot shot = SaveChecked(g_shell.mainWindow, names[cp]);
        ExpectDocumentShown(shot, 600); // five lines
        shots.push_back(shot.pixels);
        EXPECT_EQ(Text(), text);
    }
    // Each code page shows the bytes differently.
    EXPECT_NE(shots[0], shots[1]);
    EXPECT_NE(shots[1], shots[2]);
}

// The window repainted, then saved as build/screenshots/NAME.bmp.
Shot Shoot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    harness::Pump();
    Sleep(200);
    harness::Pump();
    return SaveChecked(window, name);
}

// The toolbar's buttons are drawn: many colours where the images are, and a
// band of the given height at least.
void ExpectToolbarShown(const Shot& shot, int minimumHeight) {
    ASSERT_TRUE(g_toolbar);
    const RECT bar = WindowIn(g_toolbar, g_shell.mainWindow);
    EXPECT_GE(bar.bottom - bar.top, minimumHeight);
    EXPECT_GE(DistinctColours(shot, bar), 12) << "the toolbar's images are missing";
}

// A dialog is drawn on the button face, with its texts and frames.
void ExpectDialogShown(const Shot& shot, HWND dialog) {
    ExpectWindowSize(shot, dialog);
    RECT client = ClientIn(dialog, dialog);
    EXPECT_GT(CountNear(shot, client, GetSysColor(COLOR_BTNFACE), 0), Area(client) / 3);
    EXPECT_GE(DistinctColours(shot, client), 4) << "a blank dialog";
}

TEST_F(Screenshots, BigButtonsAndACustomisedToolbar) {
    WriteSettingDword("BIG", 1);
    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor());
    // Every button of the catalogue, so that each image can be looked at.
    for (int item = 0; item < 32; ++item) {
        NMTOOLBARA info{};
        char text[128];
        info.hdr.hwndFrom = g_toolbar;
        info.hdr.code = TBN_GETBUTTONINFOA;
        info.iItem = item;
        info.pszText = text;
        info.cchText = sizeof text;
        if (!SendMessageA(g_shell.mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info))) break;
        if (SendMessageA(g_toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(info.tbButton.idCommand), 0) >= 0) continue;
        SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&info.tbButton));
    }
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 0, 0, 1000, 200, SWP_SHOWWINDOW);
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n"));
    const Shot big = Shoot(g_shell.mainWindow, "toolbar-big");
    ExpectDocumentShown(big, 120);
    ExpectToolbarShown(big, 30);
    WriteSettingDword("BIG", 0);
    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor());
    for (int item = 0; item < 32; ++item) {
        NMTOOLBARA info{};
        info.hdr.hwndFrom = g_toolbar;
        info.hdr.code = TBN_GETBUTTONINFOA;
        info.iItem = item;
        if (!SendMessageA(g_shell.mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info))) break;
        if (SendMessageA(g_toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(info.tbButton.idCommand), 0) >= 0) continue;
        SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&info.tbButton));
    }
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 0, 0, 1000, 200, SWP_SHOWWINDOW);
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n"));
    Select(3, 3);
    harness::PressKey(EditorWindow(), VK_SHIFT);
    const Shot small = Shoot(g_shell.mainWindow, "toolbar-small");
    ExpectDocumentShown(small, 120);
    ExpectToolbarShown(small, 16);
}

TEST_F(Screenshots, CustomiseAndOptionsDialogs) {
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 0, 0, 640, 300, SWP_SHOWWINDOW);
    harness::AnswerNextDialog([](HWND dialog) {
        ExpectDialogShown(Shoot(dialog, "customise-dialog"), dialog);
        harness::PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_TOOLBAR_SETUP);
    harness::Pump();
    harness::AnswerNextDialog([](HWND dialog) {
        ExpectDialogShown(Shoot(dialog, "options-dialog"), dialog);
        harness::PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_OPTIONS);
    harness::Pump();
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

} // namespace
