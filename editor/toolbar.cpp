#include "editor/toolbar.h"

#include <commctrl.h>

#include <algorithm>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/menu_tables.h"
#include "core/app/resource_ids.h"
#include "core/app/setting_names.h"
#include "core/editor/bar_tables.h"
#include "editor/strip_image.h"

HWND g_toolbar;

namespace {

HBITMAP g_toolbarBitmap;         // the own images loaded into the toolbar
HBITMAP g_toolbarStandardBitmap; // the standard ones, when enlarged for the screen

TBSAVEPARAMSA LayoutValue() {
    TBSAVEPARAMSA where{};
    where.hkr = HKEY_CURRENT_USER;
    where.pszSubKey = kSettingsKey;
    where.pszValueName = setting::ToolbarLayout.name;
    return where;
}

void SaveLayout() {
    TBSAVEPARAMSA where = LayoutValue();
    SendMessageA(g_toolbar, TB_SAVERESTORE, TRUE, reinterpret_cast<LPARAM>(&where));
}

// The button of a catalogue item, enabled.
TBBUTTON ButtonOf(const ToolbarItem& item) {
    TBBUTTON button{};
    button.iBitmap = item.image;
    button.idCommand = item.command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = item.check ? TBSTYLE_CHECK : TBSTYLE_BUTTON;
    return button;
}

void AddDefaultButtons() {
    for (int command : DefaultToolbarButtons()) {
        TBBUTTON button{};
        button.fsStyle = TBSTYLE_SEP;
        if (const ToolbarItem* item = ToolbarItemOfCommand(command)) button = ButtonOf(*item);
        SendMessageA(g_toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
}

// The saved layout, or the default buttons when it gives no button (never
// saved, or written by something this toolbar cannot read): a toolbar is never
// empty, and the next change in the customise dialog saves over such a value.
void RestoreLayout() {
    TBSAVEPARAMSA where = LayoutValue();
    SendMessageA(g_toolbar, TB_SAVERESTORE, FALSE, reinterpret_cast<LPARAM>(&where));
    const LRESULT count = SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TBBUTTON button{};
        SendMessageA(g_toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        if (!(button.fsStyle & TBSTYLE_SEP)) return;
    }
    // Nothing but separators, or nothing at all.
    while (SendMessageA(g_toolbar, TB_BUTTONCOUNT, 0, 0) > 0) SendMessageA(g_toolbar, TB_DELETEBUTTON, 0, 0);
    AddDefaultButtons();
}

// Item i of the customise dialog's catalogue.
LRESULT GetButtonInfo(NMTOOLBARA* info) {
    std::span<const ToolbarItem> catalogue = ToolbarCatalogue();
    if (info->iItem < 0 || static_cast<size_t>(info->iItem) >= catalogue.size()) return FALSE;
    const ToolbarItem& item = catalogue[static_cast<size_t>(info->iItem)];
    info->tbButton = ButtonOf(item);
    if (info->pszText && info->cchText > 0) lstrcpynA(info->pszText, CommandCaption(item.command).data(), info->cchText);
    return TRUE;
}

// A button's tooltip: its command's caption, in the notification's own
// 80-byte buffer.
void TooltipText(NMTTDISPINFOA* info) {
    const std::string_view caption = CommandCaption(static_cast<int>(info->hdr.idFrom));
    lstrcpynA(info->szText, caption.data(), 79);
    info->lpszText = info->szText;
    info->hinst = nullptr;
}

// A saved record of command 0 is a separator: the toolbar writes a
// separator's command, which is 0, and would otherwise bring it back as a
// button that nothing describes and drop it.
void RestoreSeparator(NMTBRESTORE* restore) {
    if (restore->iItem < 0) return;
    TBBUTTON& button = restore->tbButton;
    if (button.idCommand != 0 || (button.fsStyle & TBSTYLE_SEP)) return;
    button.iBitmap = 0;
    button.fsStyle = TBSTYLE_SEP;
    button.fsState = 0;
}

// TBN_INITCUSTOMIZE: the notification and the customise dialog's window.
struct CustomiseNotification {
    NMHDR header;
    HWND dialog;
};

// The two lists of the toolbar's customise dialog.
constexpr int kAvailableList = 201;
constexpr int kToolbarList = 203;

RECT ChildRectIn(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The width a list needs for the longest caption of the catalogue after its
// button image, as the dialog draws them (a box of the image's width and six
// pixels more, two pixels of gap, a border of one pixel round the item).
int CustomiseListWidth(HWND list) {
    int side = 16;
    if (HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(g_toolbar, TB_GETIMAGELIST, 0, 0))) {
        int cx = 0, cy = 0;
        if (ImageList_GetIconSize(images, &cx, &cy) && cx > 0) side = cx;
    }
    int widest = 0;
    HDC dc = GetDC(list);
    if (!dc) return 0;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
    for (const ToolbarItem& item : ToolbarCatalogue()) {
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, CommandCaption(item.command).data(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        widest = std::max(widest, static_cast<int>(r.right - r.left));
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    RECT window{}, client{};
    GetWindowRect(list, &window);
    GetClientRect(list, &client);
    const int frame = (window.right - window.left) - (client.right - client.left); // borders and scroll bar
    return 1 + side + 6 + 2 + widest + 4 + frame;
}

// Widens the customise dialog's lists so that every caption shows whole at
// any dots per inch (the dialog is laid out for short names), moving what
// lies right of each list along and widening the dialog as much.
void WidenCustomiseLists(HWND dialog) {
    HWND available = GetDlgItem(dialog, kAvailableList);
    HWND toolbar = GetDlgItem(dialog, kToolbarList);
    if (!available || !toolbar) return;
    const RECT availableRect = ChildRectIn(dialog, available);
    const RECT toolbarRect = ChildRectIn(dialog, toolbar);
    const int grow = CustomiseListWidth(available) - (availableRect.right - availableRect.left);
    if (grow <= 0) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = ChildRectIn(dialog, child);
        int shift = 0;
        if (r.left >= availableRect.right) shift += grow;
        if (r.left >= toolbarRect.right) shift += grow;
        const int widen = (child == available || child == toolbar) ? grow : 0;
        SetWindowPos(child, nullptr, r.left + shift, r.top, r.right - r.left + widen, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + 2 * grow, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void CreateToolbar() {
    if (g_toolbar) return;
    g_toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                WS_CHILD | WS_VISIBLE | CCS_TOP | CCS_ADJUSTABLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0,
                                0, 0, 0, g_shell.mainWindow, nullptr, g_shell.instance, nullptr);
    if (!g_toolbar) return;
    const bool big = ReadSetting(setting::BigButtons) != 0;
    const int scale = ImageScaleAt(WindowDpi(g_shell.mainWindow));
    SendMessageA(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    DeleteToolbarBitmap();
    if (scale > 1) {
        // Enlarged copies of the standard strip; the size is set before any
        // image goes in.
        const int side = (big ? 24 : 16) * scale;
        SendMessageA(g_toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(side, side));
        g_toolbarStandardBitmap = ScaleStrip(
            static_cast<HBITMAP>(LoadImageA(GetModuleHandleA("comctl32.dll"),
                                            MAKEINTRESOURCEA(big ? IDB_COMCTL_STANDARD_LARGE : IDB_COMCTL_STANDARD_SMALL),
                                            IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)),
            scale);
        TBADDBITMAP standard{nullptr, reinterpret_cast<UINT_PTR>(g_toolbarStandardBitmap)};
        SendMessageA(g_toolbar, TB_ADDBITMAP, kStandardImageCount, reinterpret_cast<LPARAM>(&standard));
    } else {
        TBADDBITMAP standard{HINST_COMMCTRL, static_cast<UINT_PTR>(big ? IDB_STD_LARGE_COLOR : IDB_STD_SMALL_COLOR)};
        SendMessageA(g_toolbar, TB_ADDBITMAP, kStandardImageCount, reinterpret_cast<LPARAM>(&standard));
    }
    g_toolbarBitmap = ScaleStrip(static_cast<HBITMAP>(LoadImageA(g_shell.instance, MAKEINTRESOURCEA(big ? IDB_TOOLBAR_LARGE : IDB_TOOLBAR_SMALL),
                                                                 IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)),
                                 scale);
    if (g_toolbarBitmap) {
        TBADDBITMAP own{nullptr, reinterpret_cast<UINT_PTR>(g_toolbarBitmap)};
        SendMessageA(g_toolbar, TB_ADDBITMAP, kOwnImageCount, reinterpret_cast<LPARAM>(&own));
    }
    RestoreLayout();
}

void DestroyToolbar() {
    if (!g_toolbar) return;
    DestroyWindow(g_toolbar);
    g_toolbar = nullptr;
}

void DeleteToolbarBitmap() {
    for (HBITMAP* bitmap : {&g_toolbarBitmap, &g_toolbarStandardBitmap}) {
        if (*bitmap) DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
}

void CustomiseToolbarCommand(int) {
    CreateToolbar();
    if (!g_toolbar) return;
    RECT client;
    GetClientRect(g_shell.mainWindow, &client);
    PostMessageA(g_shell.mainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(g_toolbar, TB_CUSTOMIZE, 0, 0);
}

bool HandleToolbarNotify(NMHDR* header, LRESULT& result) {
    result = 0;
    switch (header->code) {
    case TTN_GETDISPINFOA:
        TooltipText(reinterpret_cast<NMTTDISPINFOA*>(header));
        return false; // the default handling follows
    default:
        break;
    }
    if (!g_toolbar || header->hwndFrom != g_toolbar) return false;
    switch (header->code) {
    case TBN_GETBUTTONINFOA:
        result = GetButtonInfo(reinterpret_cast<NMTOOLBARA*>(header));
        return true;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        result = TRUE;
        return true;
    case TBN_TOOLBARCHANGE:
        SaveLayout();
        return true;
    case TBN_RESET:
        RestoreLayout();
        return true;
    case TBN_RESTORE:
        RestoreSeparator(reinterpret_cast<NMTBRESTORE*>(header));
        result = 0; // go on restoring
        return true;
    case TBN_INITCUSTOMIZE:
        WidenCustomiseLists(reinterpret_cast<CustomiseNotification*>(header)->dialog);
        result = 0; // with its help button
        return true;
    case TBN_CUSTHELP:
        PostMessageA(g_shell.mainWindow, WM_COMMAND, IDM_HELP, 0);
        return true;
    default:
        return false;
    }
}
