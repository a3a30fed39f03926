#include "print/printing.h"

#include <commdlg.h>
#include <richedit.h>

#include <algorithm>

#include "base/globals.h"
#include "base/scoped.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "print/page_layout.h"

HGLOBAL g_printerMode;
HGLOBAL g_printerNames;
PageMargins g_pageMargins{2500, 2500, 2500, 2500};

namespace {

constexpr WORD kNoPage = 0xFFFF;

// Takes back the handles a print or page-setup dialog returns: the dialog
// may have freed ours and made new ones.
void KeepPrinterHandles(HGLOBAL mode, HGLOBAL names) {
    g_printerMode = mode;
    g_printerNames = names;
}

void FreeHandle(HGLOBAL& handle) {
    if (handle) GlobalFree(handle);
    handle = nullptr;
}

HDC CreateChosenPrinterDC() {
    if (!g_printerMode || !g_printerNames) return nullptr;
    ScopedGlobalLock<DEVNAMES> names(g_printerNames);
    ScopedGlobalLock<DEVMODEA> mode(g_printerMode);
    if (!names || !mode) return nullptr;
    const char* base = reinterpret_cast<const char*>(names.get());
    return CreateDCA(base + names.get()->wDriverOffset, base + names.get()->wDeviceOffset, nullptr, mode.get());
}

// The main window is disabled while the document prints.
class DisabledMainWindow {
public:
    DisabledMainWindow() { EnableWindow(g_shell.mainWindow, FALSE); }
    ~DisabledMainWindow() { EnableWindow(g_shell.mainWindow, TRUE); }
    DisabledMainWindow(const DisabledMainWindow&) = delete;
    DisabledMainWindow& operator=(const DisabledMainWindow&) = delete;
};

RECT ToRect(const TwipsRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// Prints pages from `start` up to `end` of the text: those before fromPage
// are laid out only; pages after lastPage are not reached. Returns false when
// the printer reported a failure.
bool PrintPages(HDC dc, ShownText& text, PageFormat format, int32_t end, unsigned fromPage, unsigned lastPage,
                bool pageRange, unsigned copiesPerPage) {
    const RECT kept = format.rc;
    unsigned page = 1;
    int32_t next = format.first;
    do {
        const bool wanted = !pageRange || page >= fromPage;
        if (wanted) {
            for (unsigned copy = 0; copy < copiesPerPage; ++copy) {
                if (StartPage(dc) <= 0) return false;
                format.rc = kept;
                next = FormatPage(text, format, true);
                if (EndPage(dc) <= 0) return false;
            }
        } else {
            next = FormatPage(text, format, false);
        }
        // A page that takes nothing would take nothing forever.
        if (next <= format.first) break;
        format.first = next;
        ++page;
    } while (next < end && page <= lastPage);
    return true;
}

} // namespace

void ReadPageMargins() {
    g_pageMargins.left = ReadSetting(setting::MarginLeft);
    g_pageMargins.top = ReadSetting(setting::MarginTop);
    g_pageMargins.right = ReadSetting(setting::MarginRight);
    g_pageMargins.bottom = ReadSetting(setting::MarginBottom);
}

void ReleasePrintState() {
    FreeHandle(g_printerMode);
    FreeHandle(g_printerNames);
}

HDC GetPrinterDC() {
    if (HDC dc = CreateChosenPrinterDC()) return dc;
    ReleasePrintState();
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&pd)) return nullptr;
    KeepPrinterHandles(pd.hDevMode, pd.hDevNames);
    return pd.hDC;
}

void ComputePageRects(HDC printer, RECT& page, RECT& print) {
    const TwipsRect p = PageRectTwips(GetDeviceCaps(printer, PHYSICALWIDTH), GetDeviceCaps(printer, PHYSICALHEIGHT),
                                      GetDeviceCaps(printer, LOGPIXELSX), GetDeviceCaps(printer, LOGPIXELSY));
    page = ToRect(p);
    print = ToRect(PrintRectTwips(p, g_pageMargins));
}

void PageSetup() {
    PAGESETUPDLGA psd{};
    psd.lStructSize = sizeof psd;
    psd.hwndOwner = g_shell.mainWindow;
    psd.hDevMode = g_printerMode;
    psd.hDevNames = g_printerNames;
    psd.Flags = PSD_MARGINS;
    psd.rtMargin = {g_pageMargins.left, g_pageMargins.top, g_pageMargins.right, g_pageMargins.bottom};
    const BOOL ok = PageSetupDlgA(&psd);
    KeepPrinterHandles(psd.hDevMode, psd.hDevNames);
    if (!ok) return;
    g_pageMargins = {psd.rtMargin.left, psd.rtMargin.top, psd.rtMargin.right, psd.rtMargin.bottom};
    WriteSetting(setting::MarginLeft, g_pageMargins.left);
    WriteSetting(setting::MarginTop, g_pageMargins.top);
    WriteSetting(setting::MarginRight, g_pageMargins.right);
    WriteSetting(setting::MarginBottom, g_pageMargins.bottom);
}

void PrintDocument() {
    if (!EditorWindow()) return;
    const CHARRANGE selection = GetSelection(EditorWindow());
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = g_shell.mainWindow;
    pd.hDevMode = g_printerMode;
    pd.hDevNames = g_printerNames;
    pd.Flags = PD_RETURNDC;
    if (selection.cpMax - selection.cpMin < 2) pd.Flags |= PD_NOSELECTION;
    pd.nFromPage = kNoPage;
    pd.nToPage = kNoPage;
    pd.nMinPage = 1;
    pd.nMaxPage = kNoPage;
    pd.nCopies = 1;
    const BOOL ok = PrintDlgA(&pd);
    KeepPrinterHandles(pd.hDevMode, pd.hDevNames);
    if (!ok) return;
    ScopedCreatedDC dc(pd.hDC);
    if (!dc.get()) return;
    ShownText text;
    if (!TakeShownText(EditorWindow(), text)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowSystemError();
        return;
    }

    char title[kPathSize + 1] = "";
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title;
    info.lpszOutput = (pd.Flags & PD_PRINTTOFILE) ? "FILE:" : nullptr;
    SetLastError(0);
    if (StartDocA(dc.get(), &info) <= 0) {
        // A file-name prompt of print to file that the user cancelled is no failure.
        if (GetLastError() != ERROR_CANCELLED) ShowSystemError();
        return;
    }
    DisabledMainWindow disabled;

    const bool collate = (pd.Flags & PD_COLLATE) != 0;
    const unsigned outerCopies = collate ? pd.nCopies : 1;
    const unsigned copiesPerPage = collate ? 1 : pd.nCopies;
    const bool pageRange = (pd.Flags & PD_PAGENUMS) != 0;
    const unsigned lastPage = pageRange ? pd.nToPage : kNoPage;

    PageFormat format{};
    format.hdc = dc.get();
    format.hdcTarget = dc.get();
    ComputePageRects(dc.get(), format.rcPage, format.rc);
    bool printed = true;
    for (unsigned copy = 0; copy < outerCopies && printed; ++copy) {
        format.first = 0;
        format.last = static_cast<int32_t>(text.bytes.size());
        if (pd.Flags & PD_SELECTION) {
            const CHARRANGE now = GetSelection(EditorWindow());
            format.first = now.cpMin;
            format.last = now.cpMax;
        }
        printed = PrintPages(dc.get(), text, format, format.last, pd.nFromPage, lastPage, pageRange, copiesPerPage);
    }
    if (!printed) {
        const DWORD error = GetLastError();
        AbortDoc(dc.get());
        SetLastError(error);
        ShowSystemError();
        return;
    }
    if (EndDoc(dc.get()) <= 0) ShowSystemError();
}

void PageSetupCommand(int) { PageSetup(); }

void PrintCommand(int) { PrintDocument(); }

void ResetPrintState() {
    ReleasePrintState();
    g_pageMargins = PageMargins{2500, 2500, 2500, 2500};
}
