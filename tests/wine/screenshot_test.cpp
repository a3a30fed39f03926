// The same document shown in each display code page, saved as pictures under
// build/screenshots/ for a person to look at.
#include "tests/wine/editor_fixture.h"

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
    SetWindowPos(g_mainWindow, HWND_TOP, 0, 0, 640, 260, SWP_SHOWWINDOW);
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

} // namespace
