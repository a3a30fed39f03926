// The resources compiled into the program: icons, cursors, toolbar bitmaps,
// the accelerator table and the version record.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "core/editor/bar_tables.h"
#include "lork2_version.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

SIZE IconSize(HICON icon) {
    SIZE size{0, 0};
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bm{};
    if (info.hbmColor) {
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        size = {bm.bmWidth, bm.bmHeight};
    } else if (info.hbmMask) { // monochrome: mask and image one above the other
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        size = {bm.bmWidth, bm.bmHeight / 2};
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

TEST(Resources, ProgramIconLoadsLarge) {
    HICON icon = LoadIconA(Instance(), MAKEINTRESOURCEA(1));
    ASSERT_NE(icon, nullptr);
    SIZE size = IconSize(icon);
    EXPECT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(size.cy, GetSystemMetrics(SM_CYICON));
}

TEST(Resources, SmallIconsLoadAtSixteen) {
    for (int id : {1, 2, 3}) {
        SCOPED_TRACE(id);
        HICON icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr);
        SIZE size = IconSize(icon);
        EXPECT_EQ(size.cx, 16);
        EXPECT_EQ(size.cy, 16);

        // Drawn over a colour: the corners outside the page let it show
        // through, the middle of the page does not.
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, canvas);
        const COLORREF under = GetNearestColor(dc, RGB(255, 0, 255));
        HBRUSH brush = CreateSolidBrush(under);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ASSERT_TRUE(DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(GetPixel(dc, 0, 0), under);
        EXPECT_EQ(GetPixel(dc, 15, 0), under);
        EXPECT_NE(GetPixel(dc, 8, 3), under);
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteDC(dc);
        DestroyIcon(icon);
    }
}

TEST(Resources, ToolbarBitmapsHaveTenImagesOnFaceColour) {
    struct {
        int id, width, height;
    } const bitmaps[] = {{1, 16 * kOwnImageCount, 16}, {2, 24 * kOwnImageCount, 24}};
    for (const auto& expected : bitmaps) {
        SCOPED_TRACE(expected.id);
        HBITMAP bitmap = static_cast<HBITMAP>(
            LoadImageA(Instance(), MAKEINTRESOURCEA(expected.id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        ASSERT_NE(bitmap, nullptr);
        BITMAP bm{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof bm, &bm), static_cast<int>(sizeof bm));
        EXPECT_EQ(bm.bmWidth, expected.width);
        EXPECT_EQ(bm.bmHeight, expected.height);

        // The bottom-left and top-right corners of every image are
        // background, which loading turns into the button face colour; each
        // image draws something else too.
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        const COLORREF face = GetNearestColor(dc, GetSysColor(COLOR_3DFACE));
        const int side = expected.height;
        for (int k = 0; k < kOwnImageCount; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(GetPixel(dc, k * side, side - 1), face);
            EXPECT_EQ(GetPixel(dc, k * side + side - 1, 0), face);
            int drawn = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) drawn += GetPixel(dc, k * side + x, y) != face;
            EXPECT_GT(drawn, side * 2);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST(Resources, ZoomCursorsLoadWithHotSpotInLens) {
    for (int id : {1, 2}) {
        SCOPED_TRACE(id);
        HCURSOR cursor = LoadCursorA(Instance(), MAKEINTRESOURCEA(id));
        ASSERT_NE(cursor, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(cursor, &info));
        EXPECT_FALSE(info.fIcon);
        EXPECT_EQ(info.xHotspot, 7u);
        EXPECT_EQ(info.yHotspot, 7u);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
    }
}

TEST(Resources, AcceleratorTableOfThirtySixShortcuts) {
    HACCEL table = LoadAcceleratorsA(Instance(), MAKEINTRESOURCEA(1));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(CopyAcceleratorTableA(table, nullptr, 0), 36);
    std::vector<ACCEL> entries(36);
    ASSERT_EQ(CopyAcceleratorTableA(table, entries.data(), 36), 36);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FNOINVERT), FVIRTKEY | FNOINVERT);
    }
    struct {
        int number;
        BYTE modifiers;
        WORD key, command;
    } const expected[] = {
        {1, FCONTROL, VK_OEM_PLUS, 48},   {3, FCONTROL, 'C', 2},       {15, FCONTROL, VK_ADD, 48},
        {16, FALT, VK_BACK, 4},           {17, FSHIFT, VK_DELETE, 1},  {18, 0, VK_ESCAPE, 61536},
        {21, FCONTROL, VK_F2, 17},        {22, FALT, VK_F2, 18},       {24, 0, VK_F4, 300},
        {30, FSHIFT, VK_INSERT, 3},       {32, FCONTROL, 'W', 100},    {34, FCONTROL, 'Z', 4},
        {35, FCONTROL | FSHIFT, 'R', 56}, {36, FCONTROL | FSHIFT, 'Z', 5},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.number);
        const ACCEL& a = entries[e.number - 1];
        EXPECT_EQ(a.fVirt & (FCONTROL | FALT | FSHIFT), e.modifiers);
        EXPECT_EQ(a.key, e.key);
        EXPECT_EQ(a.cmd, e.command);
    }
    DestroyAcceleratorTable(table);
}

TEST(Resources, VersionNamesProgramAndNumber) {
    // The version functions live in version.dll, which the program itself
    // does not need.
    HMODULE version = LoadLibraryA("version.dll");
    ASSERT_NE(version, nullptr);
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto getSize = reinterpret_cast<SizeFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoSizeA")));
    auto getInfo = reinterpret_cast<InfoFn>(reinterpret_cast<void*>(GetProcAddress(version, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(version, "VerQueryValueA")));
    ASSERT_TRUE(getSize && getInfo && query);

    char path[MAX_PATH + 1] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = getSize(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(getInfo(path, 0, size, data.data()));
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(data.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(LORK2_VERSION_MAJOR) << 16 | LORK2_VERSION_MINOR);
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD(LORK2_VERSION_PATCH) << 16);
    ASSERT_TRUE(query(data.data(), "\\StringFileInfo\\041904E3\\ProductName", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "LORK2");
    ASSERT_TRUE(query(data.data(), "\\StringFileInfo\\041904E3\\ProductVersion", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), LORK2_VERSION);
    FreeLibrary(version);
}

// The manifest tells the system that the program scales itself to the
// screen's dots per inch, so that nothing stretches its windows.
TEST(Resources, TheManifestMakesTheProcessAwareOfTheDotsPerInch) {
    using IsAware = BOOL(WINAPI*)();
    auto isAware = reinterpret_cast<IsAware>(GetProcAddress(GetModuleHandleA("user32.dll"), "IsProcessDPIAware"));
    ASSERT_NE(isAware, nullptr);
    EXPECT_TRUE(isAware());
}

} // namespace
