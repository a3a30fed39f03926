#include "app/menus.h"

#include "base/globals.h"
#include "base/scoped.h"
#include "core/app/shortcut_text.h"
#include "core/editor/bar_tables.h"
#include "document/recent_files.h"
#include "editor/strip_image.h"

#include <algorithm>
#include <cstring>
#include <string>

std::vector<MnemonicEntry> g_mnemonics;

namespace {

void InsertCommandItem(HMENU popup, int id) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    if (id == kMenuSeparator) {
        mii.fMask = MIIM_TYPE;
        mii.fType = MFT_SEPARATOR;
    } else {
        mii.fMask = MIIM_ID | MIIM_TYPE;
        mii.fType = MFT_OWNERDRAW | (id == kMenuBarBreakCommand ? MFT_MENUBARBREAK : 0);
        mii.wID = static_cast<UINT>(id);
    }
    InsertMenuItemA(popup, 0, TRUE, &mii);
}

} // namespace

void BuildMenus() {
    g_shell.menuBar = CreateMenu();
    for (int index = kPopupCount - 1; index >= 0; --index) {
        g_shell.popups[index] = CreatePopupMenu();
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_SUBMENU | MIIM_TYPE;
        mii.fType = MFT_STRING | (index == kPopupCount - 1 ? MFT_RIGHTJUSTIFY : 0);
        mii.hSubMenu = g_shell.popups[index];
        mii.dwTypeData = const_cast<char*>(kTopLevelCaptions[index]);
        InsertMenuItemA(g_shell.menuBar, 0, TRUE, &mii);
    }
    // Items go in at the top, so each popup is filled from its last item up.
    for (int index = 0; index < kPopupCount; ++index) {
        std::span<const int> items = PopupItems(index);
        for (size_t k = items.size(); k-- > 0;) InsertCommandItem(g_shell.popups[index], items[k]);
    }
    g_mnemonics = BuildMnemonicTable();
    SetMenu(g_shell.mainWindow, g_shell.menuBar);
}

void DestroyMenus() {
    for (int index = kPopupCount - 1; index >= 0; --index) {
        if (g_shell.popups[index]) DestroyMenu(g_shell.popups[index]);
        g_shell.popups[index] = nullptr;
    }
    g_shell.menuBar = nullptr; // destroyed with the window
}

const char* MenuItemText(UINT id) {
    if (IsRecentFileCommand(static_cast<int>(id))) return RecentItemCaption(static_cast<int>(id) - IDM_RECENT_FIRST);
    // The captions are string literals: their views end in a NUL. An
    // identifier of no command has none.
    const std::string_view caption = CommandCaption(static_cast<int>(id));
    return caption.data() ? caption.data() : "";
}

namespace {

// The side of the images at the left of the items: 16, or 32 on a screen of
// many dots per inch.
int MenuImageSide() {
    const int side = StripImageSide(g_shell.menuImagesOwn);
    return side > 0 ? side : 16;
}

// The loaded accelerator table, read afresh for each item (some thirty rows),
// so that what the menus show is what the keys do.
std::vector<AcceleratorKey> AcceleratorKeys() {
    std::vector<AcceleratorKey> keys;
    if (!g_shell.accelerators) return keys;
    const int count = CopyAcceleratorTableA(g_shell.accelerators, nullptr, 0);
    if (count <= 0) return keys;
    std::vector<ACCEL> rows(static_cast<size_t>(count));
    const int copied = CopyAcceleratorTableA(g_shell.accelerators, rows.data(), count);
    for (int i = 0; i < copied; ++i) keys.push_back({rows[i].fVirt, rows[i].key, rows[i].cmd});
    return keys;
}

// The display code page the menu's radio mark shows (the marks are set
// whenever a popup opens, before its items are drawn).
int MarkedDisplayCodePage() {
    for (int codePage = 0; codePage < 3; ++codePage) {
        const UINT state = GetMenuState(g_shell.menuBar, static_cast<UINT>(IDM_SHOW_ANSI + codePage), MF_BYCOMMAND);
        if (state != static_cast<UINT>(-1) && (state & MF_CHECKED)) return codePage;
    }
    return 0;
}

int TextWidth(HDC dc, const char* text) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_VCENTER);
    return r.right - r.left;
}

} // namespace

void MeasureMenuItem(MEASUREITEMSTRUCT* mis) {
    const char* text = MenuItemText(mis->itemID);
    if (!*text) {
        mis->itemWidth = 0;
        mis->itemHeight = 1;
        return;
    }
    const int side = MenuImageSide();
    RECT r{0, 0, 0, 0};
    int shortcutWidth = 0;
    {
        ScopedDC dc(g_shell.mainWindow);
        ScopedSelectObject font(dc.get(), g_shell.menuFont ? g_shell.menuFont : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc.get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_VCENTER);
        // Room for the widest shortcut the item shows on any display code page.
        const std::vector<AcceleratorKey> keys = AcceleratorKeys();
        for (int codePage = 0; codePage < 3; ++codePage) {
            const std::string shortcut = ShortcutText(keys, static_cast<int>(mis->itemID), codePage);
            if (!shortcut.empty()) shortcutWidth = std::max(shortcutWidth, TextWidth(dc.get(), shortcut.c_str()));
        }
    }
    int height = r.bottom - r.top;
    height = std::max({height, side + 2, GetSystemMetrics(SM_CYMENU)});
    mis->itemHeight = static_cast<UINT>(height);
    int width = r.right - r.left + side + 2;
    // The shortcut stands apart from the caption by about two letters' room.
    if (shortcutWidth > 0) width += height + shortcutWidth + side / 2;
    mis->itemWidth = static_cast<UINT>(width);
}

namespace {

// The image box at the left of an item: its frame, then the icon, the
// toolbar image or the word-wrap check box.
void DrawImageBox(HDC dc, RECT box, const MenuImage& image, MenuIcon icon, bool selected, bool checked) {
    FillRect(dc, &box, GetSysColorBrush(COLOR_MENU));
    // Raised under the highlight, sunken whenever checked (so that the
    // display code page in use stands out with the menu closed to the
    // pointer too), flat otherwise.
    if (checked)
        DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    else if (selected)
        DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
    else
        DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT | BF_FLAT);
    const int side = MenuImageSide();
    const int x = box.left + 1;
    const int y = box.top + (box.bottom - box.top - side) / 2;
    switch (image.kind) {
    case MenuImageKind::Icon:
        DrawIconEx(dc, x, y, icon == MenuIcon::Html ? g_shell.htmlIcon : g_shell.smallIcon, side, side, 0, nullptr, DI_NORMAL);
        break;
    case MenuImageKind::Standard:
        DrawStripImage(dc, g_shell.menuImagesStandard, image.index, x, y);
        break;
    case MenuImageKind::Own:
        DrawStripImage(dc, g_shell.menuImagesOwn, image.index, x, y);
        break;
    case MenuImageKind::CheckBox: {
        RECT check{x + 1, y + 1, x + side - 1, y + side - 1};
        DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        break;
    }
    case MenuImageKind::None:
        break;
    }
}

// The caption from the left of `r` and the shortcut up to `margin` before
// its right.
void DrawItemTexts(HDC dc, const char* text, const std::string& shortcut, const RECT& r, int margin) {
    RECT caption = r;
    DrawTextA(dc, text, -1, &caption, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER);
    if (shortcut.empty()) return;
    RECT keys = r;
    keys.right -= margin;
    DrawTextA(dc, shortcut.c_str(), -1, &keys, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}

} // namespace

void DrawMenuItem(const DRAWITEMSTRUCT* dis) {
    const char* text = MenuItemText(dis->itemID);
    const bool grey = (dis->itemState & ODS_GRAYED) != 0;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const bool checked = (dis->itemState & ODS_CHECKED) != 0;
    HDC dc = dis->hDC;
    const RECT item = dis->rcItem;
    const int side = MenuImageSide();
    const MenuIcon icon = CommandIcon(static_cast<int>(dis->itemID), text);
    const MenuImage image =
        *text ? MenuItemImage(static_cast<int>(dis->itemID), checked, grey, icon) : MenuImage{false, MenuImageKind::None, 0};
    RECT background = item;
    if (image.box) {
        RECT box{item.left, item.top, item.left + side + 2, item.bottom};
        DrawImageBox(dc, box, image, icon, selected, checked);
        background.left = box.right;
    }
    FillRect(dc, &background, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (!*text) return;
    const std::string shortcut = ShortcutText(AcceleratorKeys(), static_cast<int>(dis->itemID), MarkedDisplayCodePage());
    ScopedSelectObject font(dc, g_shell.menuFont ? g_shell.menuFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT r = item;
    r.left += side + 5;
    if (grey && !selected) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawItemTexts(dc, text, shortcut, shadow, side / 2);
    }
    SetTextColor(dc, GetSysColor(grey ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawItemTexts(dc, text, shortcut, r, side / 2);
}

LRESULT HandleMenuChar(WPARAM wParam, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    int popup = -1;
    for (int i = 0; i < kPopupCount; ++i)
        if (g_shell.popups[i] == menu) popup = i;
    if (popup < 0) return MNC_IGNORE;
    auto keyOf = [](char c) {
        SHORT scan = VkKeyScanA(c);
        return scan == -1 ? -1 : static_cast<int>(LOBYTE(scan));
    };
    auto upper = [](char c) {
        return static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<char*>(static_cast<UINT_PTR>(static_cast<BYTE>(c))))));
    };
    auto isGrey = [](int id) {
        return (GetMenuState(g_shell.menuBar, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    int id = FindMnemonicCommand(g_mnemonics, popup, static_cast<char>(LOWORD(wParam)), keyOf, upper, isGrey);
    if (!id) return MNC_IGNORE;
    SendMessageA(g_shell.mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
    return MAKELONG(0, MNC_CLOSE);
}
