// The same document shown in each display code page, saved as pictures under
// build/screenshots/ for a person to look at.
#include "tests/wine/editor_fixture.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The main window's pixels as a 24-bit bottom-up bitmap.
std::vector<unsigned char> CaptureWindow(HWND window, int& width, int& height) {
    RECT r;
    GetWindowRect(window, &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void SaveBitmap(const std::string& path, const std::vector<unsigned char>& pixels, int width, int height) {
    BITMAPINFOHEADER info{sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(&file, sizeof file, 1, f);
    fwrite(&info, sizeof info, 1, f);
    fwrite(pixels.data(), 1, pixels.size(), f);
    fclose(f);
}

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
    const std::string folder = std::string(LORK2_SOURCE_DIR) + "/build/screenshots";
    CreateDirectoryA((std::string(LORK2_SOURCE_DIR) + "/build").c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    const char* names[] = {"display-1251.bmp", "display-866.bmp", "display-koi8r.bmp"};
    std::vector<std::vector<unsigned char>> shots;
    for (int cp = 0; cp < 3; ++cp) {
        Command(16 + cp);
        RedrawWindow(g_mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        harness::Pump();
        Sleep(200);
        harness::Pump();
        int width = 0;
        int height = 0;
        shots.push_back(CaptureWindow(g_mainWindow, width, height));
        SaveBitmap(folder + "/" + names[cp], shots.back(), width, height);
        EXPECT_EQ(Text(), text);
    }
    // Each code page shows the bytes differently.
    EXPECT_NE(shots[0], shots[1]);
    EXPECT_NE(shots[1], shots[2]);
}

} // namespace
