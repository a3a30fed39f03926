#include "app/menus.h"

#include "app/globals.h"
#include "app/scoped.h"
#include "document/documents.h"

#include <cstring>

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
    g_menuBar = CreateMenu();
    for (int index = kPopupCount - 1; index >= 0; --index) {
        g_popups[index] = CreatePopupMenu();
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_SUBMENU | MIIM_TYPE;
        mii.fType = MFT_STRING | (index == kPopupCount - 1 ? MFT_RIGHTJUSTIFY : 0);
        mii.hSubMenu = g_popups[index];
        mii.dwTypeData = const_cast<char*>(kTopLevelCaptions[index]);
        InsertMenuItemA(g_menuBar, 0, TRUE, &mii);
    }
    // Items go in at the top, so each popup is filled from its last item up.
    for (int index = 0; index < kPopupCount; ++index) {
        std::span<const int> items = PopupItems(index);
        for (size_t k = items.size(); k-- > 0;) InsertCommandItem(g_popups[index], items[k]);
    }
    g_mnemonics = BuildMnemonicTable();
    SetMenu(g_mainWindow, g_menuBar);
}

void DestroyMenus() {
    for (int index = kPopupCount - 1; index >= 0; --index) {
        if (g_popups[index]) DestroyMenu(g_popups[index]);
        g_popups[index] = nullptr;
    }
    g_menuBar = nullptr; // destroyed with the window
}

const char* MenuItemText(UINT id) {
    if (IsRecentFileCommand(static_cast<int>(id))) return RecentItemCaption(static_cast<int>(id) - IDM_RECENT_FIRST);
    // The captions are string literals: their views end in a NUL.
    return CommandCaption(static_cast<int>(id)).data();
}

void MeasureMenuItem(MEASUREITEMSTRUCT* mis) {
    const char* text = MenuItemText(mis->itemID);
    if (!*text) {
        mis->itemWidth = 0;
        mis->itemHeight = 1;
        return;
    }
    RECT r{0, 0, 0, 0};
    {
        ScopedDC dc(g_mainWindow);
        ScopedSelectObject font(dc.get(), g_menuFont ? g_menuFont : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextA(dc.get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_VCENTER);
    }
    int height = r.bottom - r.top;
    if (height < 18) height = 18;
    if (height < GetSystemMetrics(SM_CYMENU)) height = GetSystemMetrics(SM_CYMENU);
    mis->itemHeight = static_cast<UINT>(height);
    mis->itemWidth = static_cast<UINT>(r.right - r.left + 18);
}

void DrawMenuItem(const DRAWITEMSTRUCT* dis) {
    const char* text = MenuItemText(dis->itemID);
    bool grey = (dis->itemState & ODS_GRAYED) != 0;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    HDC dc = dis->hDC;
    RECT item = dis->rcItem;
    FillRect(dc, &item, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (!*text) return;
    ScopedSelectObject font(dc, g_menuFont ? g_menuFont : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT r = item;
    r.left += 21;
    const UINT format = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
    if (grey && !selected) {
        RECT shadow = r;
        OffsetRect(&shadow, 1, 1);
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, text, -1, &shadow, format);
    }
    SetTextColor(dc, GetSysColor(grey ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawTextA(dc, text, -1, &r, format);
}

LRESULT HandleMenuChar(WPARAM wParam, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    int popup = -1;
    for (int i = 0; i < kPopupCount; ++i)
        if (g_popups[i] == menu) popup = i;
    if (popup < 0) return MNC_IGNORE;
    auto keyOf = [](char c) {
        SHORT scan = VkKeyScanA(c);
        return scan == -1 ? -1 : static_cast<int>(LOBYTE(scan));
    };
    auto upper = [](char c) {
        return static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<char*>(static_cast<UINT_PTR>(static_cast<BYTE>(c))))));
    };
    auto isGrey = [](int id) {
        return (GetMenuState(g_menuBar, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    int id = FindMnemonicCommand(g_mnemonics, popup, static_cast<char>(LOWORD(wParam)), keyOf, upper, isGrey);
    if (!id) return MNC_IGNORE;
    SendMessageA(g_mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
    return MAKELONG(0, MNC_CLOSE);
}
