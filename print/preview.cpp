#include "print/preview.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>

#include "base/globals.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/print/print_ids.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "print/page_layout.h"
#include "print/printing.h"

namespace {

// Valid while the dialog is open.
struct PreviewState {
    HDC printer;
    RECT page;  // twips
    RECT print; // twips
    int32_t pageStart;
    int32_t nextStart;
    unsigned pageNumber;
    int zoom; // 1: the whole page; 3: a third of it, three times larger
    POINT zoomPoint; // in the page control's client coordinates
    HCURSOR zoomIn;
    HCURSOR zoomOut;
    ShownText text;
    // The preview opens maximised. Wine's dialog box shows the dialog in its
    // normal size when its queue first runs empty, after it was maximised;
    // the preview maximises itself again then, a few times at most, unless
    // the user has sized it.
    bool userSized;
    int maximiseAgain;
};

constexpr UINT kMaximiseAgain = WM_APP + 1;

PreviewState g_preview;

bool InsidePage(HWND dialog, POINT screen) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW_PAGE), &r);
    return PtInRect(&r, screen) != FALSE;
}

void InitPreview(HWND dialog) {
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shell.smallIcon));
    g_preview.pageStart = 0;
    g_preview.nextStart = 0;
    g_preview.pageNumber = 1;
    char title[kPathSize + 1] = "";
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    char caption[kPathSize + 1];
    snprintf(caption, sizeof caption, "Просмотр: %s", title);
    SetWindowTextA(dialog, caption);
    ShowWindow(dialog, SW_SHOWMAXIMIZED);
}

// The page control below the button row, with the page's proportions, as
// large as fits the client area (w x h): a portrait page takes the height, a
// landscape page the width, unless that would run over the other side.
void FitPage(HWND dialog, int w, int h) {
    HWND next = GetDlgItem(dialog, IDC_PREVIEW_NEXT);
    RECT button;
    GetClientRect(next, &button);
    const int y = button.bottom + 4;
    const int pageWidth = std::max<int>(1, g_preview.page.right);
    const int pageHeight = std::max<int>(1, g_preview.page.bottom);
    const int roomWidth = std::max(1, w - y);
    const int roomHeight = std::max(1, h - y - 2);
    int width, height;
    if (pageHeight >= pageWidth) {
        height = roomHeight;
        width = MulDiv(height, pageWidth, pageHeight);
    } else {
        width = roomWidth;
        height = MulDiv(width, pageHeight, pageWidth);
    }
    if (width > roomWidth) {
        width = roomWidth;
        height = MulDiv(width, pageHeight, pageWidth);
    }
    if (height > roomHeight) {
        height = roomHeight;
        width = MulDiv(height, pageWidth, pageHeight);
    }
    const int x = (w - width) / 2;
    MoveWindow(GetDlgItem(dialog, IDC_PREVIEW_PAGE), x, y, width, height, FALSE);
    InvalidateRect(dialog, nullptr, TRUE);
}

void ToggleZoom(HWND dialog, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(dialog, &p);
    if (!InsidePage(dialog, p)) return;
    HWND page = GetDlgItem(dialog, IDC_PREVIEW_PAGE);
    g_preview.zoom = 4 - g_preview.zoom;
    ScreenToClient(page, &p);
    g_preview.zoomPoint = p;
    InvalidateRect(page, nullptr, TRUE);
}

void DrawPreviewPage(HWND dialog, const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const int saved = SaveDC(dc);
    FillRect(dc, &item->rcItem, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkColor(dc, static_cast<COLORREF>(ReadSetting(setting::Background)));
    const int zoom = g_preview.zoom;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc,
                   MulDiv(GetDeviceCaps(g_preview.printer, PHYSICALWIDTH), GetDeviceCaps(dc, LOGPIXELSX),
                          GetDeviceCaps(g_preview.printer, LOGPIXELSX)) / zoom,
                   MulDiv(GetDeviceCaps(g_preview.printer, PHYSICALHEIGHT), GetDeviceCaps(dc, LOGPIXELSY),
                          GetDeviceCaps(g_preview.printer, LOGPIXELSY)) / zoom,
                   nullptr);
    SetViewportExtEx(dc, item->rcItem.right, item->rcItem.bottom, nullptr);
    if (zoom != 1)
        SetViewportOrgEx(dc, -g_preview.zoomPoint.x * (zoom - 1), -g_preview.zoomPoint.y * (zoom - 1), nullptr);
    const int32_t length = static_cast<int32_t>(g_preview.text.bytes.size());
    PageFormat format{dc, g_preview.printer, g_preview.print, g_preview.page, g_preview.pageStart, length};
    g_preview.nextStart = FormatPage(g_preview.text, format, true);
    // A page that takes nothing would be followed by itself forever.
    const bool more = g_preview.nextStart < length && g_preview.nextStart > g_preview.pageStart;
    HWND next = GetDlgItem(dialog, IDC_PREVIEW_NEXT);
    EnableWindow(next, more);
    char caption[32];
    snprintf(caption, sizeof caption, more ? "%u&.>>" : "%u ||", g_preview.pageNumber);
    SetWindowTextA(next, caption);
    RestoreDC(dc, saved);
}

void ShowPage(HWND dialog, int32_t start, unsigned number) {
    g_preview.pageStart = start;
    g_preview.pageNumber = number;
    InvalidateRect(GetDlgItem(dialog, IDC_PREVIEW_PAGE), nullptr, TRUE);
}

} // namespace

INT_PTR CALLBACK PreviewDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitPreview(dialog);
        return TRUE;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED && !g_preview.userSized && g_preview.maximiseAgain < 3) {
            ++g_preview.maximiseAgain;
            PostMessageA(dialog, kMaximiseAgain, 0, 0);
        }
        FitPage(dialog, LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case kMaximiseAgain:
        if (!g_preview.userSized && !IsZoomed(dialog)) ShowWindow(dialog, SW_SHOWMAXIMIZED);
        return TRUE;
    case WM_SYSCOMMAND:
        g_preview.userSized = true; // restored, moved, sized or minimised by the user
        return FALSE;
    case WM_SETCURSOR: {
        POINT p;
        GetCursorPos(&p);
        if (!InsidePage(dialog, p)) return FALSE;
        SetCursor(g_preview.zoom == 1 ? g_preview.zoomIn : g_preview.zoomOut);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ToggleZoom(dialog, lParam);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_PREVIEW_PAGE) return FALSE;
        DrawPreviewPage(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        case IDC_PREVIEW_FIRST:
            ShowPage(dialog, 0, 1);
            return TRUE;
        case IDC_PREVIEW_NEXT:
            ShowPage(dialog, g_preview.nextStart, g_preview.pageNumber + 1);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void ShowPreview() {
    if (!EditorWindow()) return;
    HDC printer = GetPrinterDC();
    if (!printer) return;
    g_preview = {};
    if (!TakeShownText(EditorWindow(), g_preview.text)) {
        DeleteDC(printer);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowSystemError();
        return;
    }
    g_preview.printer = printer;
    ComputePageRects(printer, g_preview.page, g_preview.print);
    g_preview.zoom = 1;
    g_preview.zoomIn = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_ZOOM_IN_CURSOR));
    g_preview.zoomOut = LoadCursorA(g_shell.instance, MAKEINTRESOURCEA(IDC_ZOOM_OUT_CURSOR));
    DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_PREVIEW), g_shell.mainWindow, PreviewDialogProc, 0);
    g_preview = {};
    DeleteDC(printer);
}

void PreviewCommand(int) { ShowPreview(); }

void ResetPreviewState() { g_preview = PreviewState{}; }
