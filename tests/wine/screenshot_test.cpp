// The same document shown in each display code page, saved as pictures under
// build/screenshots/ for a person to look at.
#include "tests/wine/editor_fixture.h"

#include <commctrl.h>

#include "app/main_window.h"
#include "base/settings.h"
#include "core/app/command_ids.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Screenshots = EditorTest;

TEST_F(Screenshots, SameDocumentInEachDisplayCodePage) {
    // One document: a CP866 box with Russian text, the KOI8-R alphabet and
    // the 1251 alphabet, each line labelled in ASCII.
    const Bytes text = B("866 box:   \xC9\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBB\r\n"
                         "866 text:  \xBA \x8F\xE0\xA8\xA2\xA5\xE2 \xAC\xA8\xE0 \xBA\r\n"
                         "           \xC8\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xCD\xBC\r\n"
                         "KOI8-R:    \xF0\xD2\xC9\xD7\xC5\xD4, \xED\xC9\xD2! \xE1\xE2\xF7\xE7\xE4\xE5\xB3\xF6\r\n"
                         "1251:      \xCF\xF0\xE8\xE2\xE5\xF2, \xCC\xE8\xF0! \xC0\xC1\xC2\xC3\xC4\xC5\xA8\xC6\r\n");
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 640, 300, SWP_SHOWWINDOW);
    Load(text);
    const char* names[] = {"display-1251", "display-866", "display-koi8r"};
    std::vector<std::vector<unsigned char>> shots;
    for (int cp = 0; cp < 3; ++cp) {
        Command(16 + cp);
        RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        harness::Pump();
        Sleep(200);
        harness::Pump();
        int width = 0;
        int height = 0;
        shots.push_back(harness::CaptureWindow(g_mainWindow, width, height));
        harness::SaveScreenshot(g_mainWindow, names[cp]);
        EXPECT_EQ(Text(), text);
    }
    // Each code page shows the bytes differently.
    EXPECT_NE(shots[0], shots[1]);
    EXPECT_NE(shots[1], shots[2]);
}

// The window repainted, then saved as build/screenshots/NAME.bmp.
void Shoot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    harness::Pump();
    Sleep(200);
    harness::Pump();
    harness::SaveScreenshot(window, name);
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
        if (!SendMessageA(g_mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info))) break;
        if (SendMessageA(g_toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(info.tbButton.idCommand), 0) >= 0) continue;
        SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&info.tbButton));
    }
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 1000, 200, SWP_SHOWWINDOW);
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n"));
    Shoot(g_mainWindow, "toolbar-big");
    WriteSettingDword("BIG", 0);
    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor());
    for (int item = 0; item < 32; ++item) {
        NMTOOLBARA info{};
        info.hdr.hwndFrom = g_toolbar;
        info.hdr.code = TBN_GETBUTTONINFOA;
        info.iItem = item;
        if (!SendMessageA(g_mainWindow, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info))) break;
        if (SendMessageA(g_toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(info.tbButton.idCommand), 0) >= 0) continue;
        SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&info.tbButton));
    }
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 1000, 200, SWP_SHOWWINDOW);
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n"));
    Select(3, 3);
    harness::PressKey(g_editor, VK_SHIFT);
    Shoot(g_mainWindow, "toolbar-small");
}

TEST_F(Screenshots, CustomiseAndOptionsDialogs) {
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 640, 300, SWP_SHOWWINDOW);
    harness::AnswerNextDialog([](HWND dialog) {
        Shoot(dialog, "customise-dialog");
        harness::PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_TOOLBAR_SETUP);
    harness::Pump();
    harness::AnswerNextDialog([](HWND dialog) {
        Shoot(dialog, "options-dialog");
        harness::PressButton(IDCANCEL)(dialog);
    });
    Command(IDM_OPTIONS);
    harness::Pump();
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

} // namespace
