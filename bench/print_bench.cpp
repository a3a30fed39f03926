// The page layout under Wine: one preview page at the end of a 20 MB
// document against the first page, and printing 1 MB and 4 MB documents to
// the default printer (the test script's PDF printer), per 100 pages.
// Run with scripts/wine-exec after lork2_ensure_printer (scripts/lib.sh).
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/program.h"
#include "base/globals.h"
#include "bench/wine_bench.h"
#include "document/documents.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "print/page_layout.h"
#include "print/printing.h"
#include "tests/wine/harness.h"

namespace {

std::string WriteText(const std::string& folder, size_t megabytes) {
    const std::string path = folder + "\\print" + std::to_string(megabytes) + ".txt";
    const std::string line = "Съешь же ещё этих мягких французских булок, да выпей чаю. 0123456789\r\n";
    WriteWholeFile(path, RepeatedLines(line, megabytes * 1000 * 1000));
    return path;
}

// One preview page as the preview draws it: the page scaled into a window of
// the screen's size, laid out at the printer's metrics. Best of `runs`.
double PreviewPage(ShownText& text, HDC printer, const RECT& page, const RECT& print, int32_t start, int32_t& next,
                   int runs) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 700, 990);
    HGDIOBJ old = SelectObject(memory, bitmap);
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double t0 = Now();
        const int saved = SaveDC(memory);
        SetMapMode(memory, MM_ANISOTROPIC);
        SetWindowExtEx(memory,
                       MulDiv(GetDeviceCaps(printer, PHYSICALWIDTH), GetDeviceCaps(memory, LOGPIXELSX),
                              GetDeviceCaps(printer, LOGPIXELSX)),
                       MulDiv(GetDeviceCaps(printer, PHYSICALHEIGHT), GetDeviceCaps(memory, LOGPIXELSY),
                              GetDeviceCaps(printer, LOGPIXELSY)),
                       nullptr);
        SetViewportExtEx(memory, 700, 990, nullptr);
        PageFormat format{memory, printer, print, page, start, -1};
        next = FormatPage(text, format, true);
        RestoreDC(memory, saved);
        best = std::min(best, Now() - t0);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return best;
}

// The first byte of the last full page (the one before the last): laid out
// page by page from a line start near the end of the text.
int32_t LastPageStart(ShownText& text, HDC printer, const RECT& page, const RECT& print) {
    const int32_t length = static_cast<int32_t>(text.bytes.size());
    int32_t start = std::max(0, length - 20000);
    while (start > 0 && text.bytes[start - 1] != '\n') --start; // a line's start
    int32_t previous = start;
    for (;;) {
        PageFormat format{nullptr, printer, print, page, start, length};
        const int32_t next = FormatPage(text, format, false);
        if (next >= length || next <= start) return previous;
        previous = start;
        start = next;
    }
}

// Prints the whole document through the print dialog (answered with OK);
// returns seconds until the print command returned, and the pages counted.
double PrintAll(int& pages) {
    harness::AnswerNextDialog(harness::PressButton(IDOK));
    HDC printer = GetPrinterDC();
    RECT page, print;
    ComputePageRects(printer, page, print);
    pages = 0;
    const double l0 = Now();
    double slowest = 0;
    ShownText text;
    TakeShownText(EditorWindow(), text);
    for (int32_t start = 0, length = TextLength(EditorWindow()); start < length; ++pages) {
        PageFormat format{nullptr, printer, print, page, start, length};
        const double p0 = Now();
        const int32_t next = FormatPage(text, format, false);
        slowest = std::max(slowest, Now() - p0);
        if (next <= start) break;
        start = next;
    }
    printf("  layout only: %d pages in %.2f s (slowest page %.1f ms)\n", pages, Now() - l0, slowest * 1e3);
    fflush(stdout);
    DeleteDC(printer);
    const double t0 = Now();
    SendMessageA(g_shell.mainWindow, WM_COMMAND, 15, 0);
    const double t = Now() - t0;
    harness::Pump();
    return t;
}

// Prints the loaded document page by page as the print command does (the
// program's own layout and drawing on the default printer), timing each
// page from StartPage to EndPage and the drawing inside it; prints the first
// and the last `span` pages' mean and the whole job.
void TimePages(size_t span) {
    HDC printer = GetPrinterDC();
    if (!printer) {
        printf("no printer\n");
        return;
    }
    RECT page, print;
    ComputePageRects(printer, page, print);
    ShownText text;
    TakeShownText(EditorWindow(), text);
    DOCINFOA info{};
    info.cbSize = sizeof info;
    info.lpszDocName = "lork2 print bench";
    const double j0 = Now();
    if (StartDocA(printer, &info) <= 0) {
        printf("StartDoc failed\n");
        DeleteDC(printer);
        return;
    }
    std::vector<double> pageTimes, drawTimes, endTimes;
    const int32_t length = static_cast<int32_t>(text.bytes.size());
    for (int32_t start = 0; start < length;) {
        const double p0 = Now();
        StartPage(printer);
        PageFormat format{printer, printer, print, page, start, length};
        const double d0 = Now();
        const int32_t next = FormatPage(text, format, true);
        const double d1 = Now();
        EndPage(printer);
        const double p1 = Now();
        pageTimes.push_back(p1 - p0);
        drawTimes.push_back(d1 - d0);
        endTimes.push_back(p1 - d1);
        if (next <= start) break;
        start = next;
    }
    const double e0 = Now();
    EndDoc(printer);
    const double job = Now() - j0;
    const double endDoc = Now() - e0;
    DeleteDC(printer);
    const size_t n = pageTimes.size();
    const size_t k = std::min(span, n);
    auto mean = [&](const std::vector<double>& v, size_t from) {
        double sum = 0;
        for (size_t i = from; i < from + k; ++i) sum += v[i];
        return k ? sum / static_cast<double>(k) * 1e3 : 0.0;
    };
    printf("pages %zu of %d bytes; job %.2f s (EndDoc %.2f s), %.1f ms a page\n", n, length, job, endDoc,
           n ? job / static_cast<double>(n) * 1e3 : 0.0);
    printf("  first %zu pages: %.1f ms a page (drawing %.1f, EndPage %.1f)\n", k, mean(pageTimes, 0),
           mean(drawTimes, 0), mean(endTimes, 0));
    printf("  last %zu pages:  %.1f ms a page (drawing %.1f, EndPage %.1f); last / first %.2f\n", k,
           mean(pageTimes, n - k), mean(drawTimes, n - k), mean(endTimes, n - k),
           mean(pageTimes, n - k) / std::max(mean(pageTimes, 0), 1e-9));
    fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && strcmp(argv[1], "--pages") == 0) {
        // --pages MB [FILE]: per-page times of printing MB megabytes of the
        // bench's lines, or of FILE.
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        const std::string folder = std::string(temp) + "lk2printbench";
        CreateDirectoryA(folder.c_str(), nullptr);
        if (!harness::StartEditor()) return 1;
        const std::string path = argc > 3 ? std::string(argv[3]) : WriteText(folder, static_cast<size_t>(atoi(argv[2])));
        LoadFile(path.c_str());
        TimePages(100);
        if (argc <= 3) DeleteFileA(path.c_str());
        harness::StopEditor();
        RemoveDirectoryA(folder.c_str());
        return 0;
    }
    const int runs = argc > 1 ? atoi(argv[1]) : 3;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "lk2printbench";
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!harness::StartEditor()) return 1;

    // Printing: 1 MB and 4 MB.
    const char* sizes = argc > 2 ? argv[2] : "14";
    for (const char* c = sizes; *c; ++c) {
        if (*c < '1' || *c > '9') continue;
        const size_t mb = static_cast<size_t>(*c - '0');
        const std::string path = WriteText(folder, mb);
        LoadFile(path.c_str());
        int pages = 0;
        const double seconds = PrintAll(pages);
        printf("print %u MB: %d pages in %.2f s, %.3f s per 100 pages (layout, drawing, spooling)\n",
               static_cast<unsigned>(mb), pages, seconds, pages ? seconds * 100 / pages : 0.0);
        fflush(stdout);
        DeleteFileA(path.c_str());
    }

    // Preview: the first page and the last page of 20 MB.
    const std::string path = WriteText(folder, 20);
    LoadFile(path.c_str());
    HDC printer = GetPrinterDC();
    RECT page, print;
    ComputePageRects(printer, page, print);
    // Opening the preview takes the text once.
    const double t0 = Now();
    ShownText text;
    TakeShownText(EditorWindow(), text);
    const double take = Now() - t0;
    int32_t next = 0;
    const double first = PreviewPage(text, printer, page, print, 0, next, runs);
    const int32_t lastStart = LastPageStart(text, printer, page, print);
    const double last = PreviewPage(text, printer, page, print, lastStart, next, runs);
    printf("preview opening: the text taken in %.1f ms\n", take * 1e3);
    printf("preview 20 MB (%d bytes): first page %.2f ms, last full page (from byte %d) %.2f ms, ratio %.2f\n",
           TextLength(EditorWindow()), first * 1e3, lastStart, last * 1e3, last / first);
    DeleteDC(printer);
    DeleteFileA(path.c_str());
    harness::StopEditor();
    RemoveDirectoryA(folder.c_str());
    return 0;
}
