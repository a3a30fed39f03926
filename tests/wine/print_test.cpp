// Printing, page setup and the preview against a real printer: the test
// script's private print server with a PDF printer as the default. Every
// print goes through the dialogs as a user would; the PDF files are read
// back with poppler's tools.
#include "tests/wine/editor_fixture.h"

#include <commdlg.h>
#include <richedit.h>
#include <dlgs.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/charset/display_map.h"
#include "core/print/print_ids.h"
#include "core/unicode/unicode_file.h"
#include "document/documents.h"
#include "editor/display_code_page.h"
#include "print/printing.h"

namespace {

std::string PdfFolder() {
    const char* folder = getenv("LORK2_PDF_DIR");
    return folder ? folder : "";
}

// A Unix path as Wine shows it.
std::string DosPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::vector<std::string> PdfFiles() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((DosPath(PdfFolder()) + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

void ClearPdfs() {
    for (const std::string& name : PdfFiles()) DeleteFileA((DosPath(PdfFolder()) + "\\" + name).c_str());
}

// Runs a Linux command line of the machine through the shell; returns what
// it wrote. Wine does not wait for Linux processes, so the shell renames the
// output file when the command has ended.
std::string RunUnix(const std::string& commandLine) {
    static int counter = 0;
    const std::string name =
        "/tmp/lork2-print-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    std::string line = "/bin/sh -c \"" + commandLine + " >" + name + ".tmp 2>&1; mv " + name + ".tmp " + name + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return "";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::string done = DosPath(name);
    std::string text;
    for (int i = 0; i < 1200; ++i) {
        if (FILE* f = fopen(done.c_str(), "rb")) {
            char buffer[65536];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
            fclose(f);
            DeleteFileA(done.c_str());
            break;
        }
        Sleep(50);
    }
    return text;
}

int PageCount(const std::string& pdf) {
    const std::string info = RunUnix("/usr/bin/pdfinfo " + pdf);
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + 6);
}

// The text of one page (1-based), or of them all (page 0), as UTF-8.
std::string PdfText(const std::string& pdf, int page = 0) {
    std::string range = page > 0 ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return RunUnix("/usr/bin/pdftotext -enc UTF-8" + range + " " + pdf + " -");
}

// Waits for the print job's PDF file: the print server hands it over when
// Ghostscript has written it whole. Returns its Unix path, or "" after 60 s.
std::string WaitForPdf() {
    for (int i = 0; i < 600; ++i) {
        std::vector<std::string> files = PdfFiles();
        if (!files.empty()) {
            const std::string path = PdfFolder() + "/" + files.front();
            if (PageCount(path) > 0) return path;
        }
        Sleep(100);
    }
    return "";
}

std::string Utf8(const std::u16string& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                      static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                        out.data(), n, nullptr, nullptr);
    return out;
}

// What bytes show in a display code page, as UTF-8.
std::string Shown(int cp, const Bytes& bytes) {
    std::u16string text;
    for (unsigned char b : bytes) text += DisplayChar(cp, b);
    return Utf8(text);
}

// The numbers of the lines "Line NNN" in a text, in order.
std::vector<int> LineNumbers(const std::string& text) {
    std::vector<int> numbers;
    for (size_t at = text.find("Line "); at != std::string::npos; at = text.find("Line ", at + 1))
        numbers.push_back(atoi(text.c_str() + at + 5));
    return numbers;
}

// A document of numbered lines with Russian text (1251).
Bytes NumberedLines(int count) {
    Bytes text;
    for (int i = 1; i <= count; ++i) {
        char line[128];
        snprintf(line, sizeof line, "Line %03d: Съешь же ещё этих мягких французских булок\r\n", i);
        text += B(line);
    }
    return text;
}

// What the user picks in the print dialog.
struct PrintChoice {
    int from = 0; // with `to`: a page range
    int to = 0;
    int copies = 1;
    bool collate = false;
    bool selection = false;
    bool toFile = false;
};

void SetChecked(HWND dialog, int id, bool checked) {
    if ((IsDlgButtonChecked(dialog, id) == BST_CHECKED) != checked) SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

struct SeenPrintDialog {
    bool selectionEnabled = false;
    bool seen = false;
};

harness::DialogAnswer AnswerPrintDialog(PrintChoice choice, SeenPrintDialog* seen = nullptr, bool ok = true,
                                        const char* screenshot = nullptr) {
    return [=](HWND dialog) {
        if (seen) {
            seen->seen = true;
            seen->selectionEnabled = IsWindowEnabled(GetDlgItem(dialog, rad2)) != FALSE;
        }
        if (choice.from > 0) {
            SendDlgItemMessageA(dialog, rad3, BM_CLICK, 0, 0);
            SetDlgItemInt(dialog, edt1, static_cast<UINT>(choice.from), FALSE);
            SetDlgItemInt(dialog, edt2, static_cast<UINT>(choice.to), FALSE);
        }
        if (choice.selection) SendDlgItemMessageA(dialog, rad2, BM_CLICK, 0, 0);
        if (choice.copies != 1) SetDlgItemInt(dialog, edt3, static_cast<UINT>(choice.copies), FALSE);
        SetChecked(dialog, chx2, choice.collate);
        SetChecked(dialog, chx1, choice.toFile);
        if (screenshot) harness::SaveScreenshot(dialog, screenshot);
        harness::PressButton(ok ? IDOK : IDCANCEL)(dialog);
    };
}

class PrintTest : public EditorTest {
protected:
    void SetUp() override {
        if (PdfFolder().empty()) GTEST_SKIP() << "no test printer: run under scripts/test (LORK2_PDF_DIR)";
        EditorTest::SetUp();
        ClearPdfs();
    }
    void TearDown() override {
        if (PdfFolder().empty()) return;
        EditorTest::TearDown();
    }

    // Prints through the print dialog; returns the PDF's path ("" when none came).
    static std::string Print(PrintChoice choice = {}, SeenPrintDialog* seen = nullptr,
                             const char* screenshot = nullptr) {
        ClearPdfs();
        harness::AnswerNextDialog(AnswerPrintDialog(choice, seen, true, screenshot));
        Command(15);
        harness::Pump();
        return WaitForPdf();
    }

    // The line numbers on each page of a PDF.
    static std::vector<std::vector<int>> Pages(const std::string& pdf) {
        std::vector<std::vector<int>> pages;
        const int n = PageCount(pdf);
        for (int p = 1; p <= n; ++p) pages.push_back(LineNumbers(PdfText(pdf, p)));
        return pages;
    }
};

TEST_F(PrintTest, WholeDocumentComesOutInOrderOverSeveralPages) {
    const int unexpected = harness::UnexpectedDialogs();
    const Bytes text = NumberedLines(150);
    Load(text);
    const std::string pdf = Print({}, nullptr, "print-dialog");
    ASSERT_FALSE(pdf.empty());
    const auto pages = Pages(pdf);
    ASSERT_GE(pages.size(), 3u);
    std::vector<int> all;
    for (const auto& page : pages) {
        EXPECT_FALSE(page.empty());
        all.insert(all.end(), page.begin(), page.end());
    }
    std::vector<int> expected(150);
    for (int i = 0; i < 150; ++i) expected[i] = i + 1;
    EXPECT_EQ(all, expected);
    // The Russian text itself, as the editor shows it.
    EXPECT_NE(PdfText(pdf, 1).find(Shown(0, B("Line 001: Съешь же ещё этих мягких французских булок"))),
              std::string::npos);
    RunUnix("/usr/bin/pdftoppm -png -r 60 -f 1 -l 1 -singlefile " + pdf + " " + harness::ScreenshotFolder() +
            "/print-page1");
    EXPECT_EQ(harness::UnexpectedDialogs(), unexpected);
}

TEST_F(PrintTest, PageRangePrintsThePagesAFullPrintNumbersSo) {
    Load(NumberedLines(250));
    const auto full = Pages(Print());
    ASSERT_GE(full.size(), 4u);
    PrintChoice range;
    range.from = 2;
    range.to = 3;
    const auto printed = Pages(Print(range));
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_EQ(printed[0], full[1]);
    EXPECT_EQ(printed[1], full[2]);
}

TEST_F(PrintTest, CopiesCollatedOrPageByPage) {
    Load(NumberedLines(80));
    const auto one = Pages(Print());
    ASSERT_EQ(one.size(), 2u);
    PrintChoice collated;
    collated.copies = 2;
    collated.collate = true;
    EXPECT_EQ(Pages(Print(collated)), (std::vector<std::vector<int>>{one[0], one[1], one[0], one[1]}));
    PrintChoice uncollated;
    uncollated.copies = 2;
    EXPECT_EQ(Pages(Print(uncollated)), (std::vector<std::vector<int>>{one[0], one[0], one[1], one[1]}));
}

TEST_F(PrintTest, SelectionPrintsFromTheTopOfPageOne) {
    const Bytes text = NumberedLines(150);
    Load(text);
    // Lines 70 to 99, from the start of line 70 to the end of line 99.
    const size_t lineLength = text.find(B("\r\n")) + 2;
    Select(static_cast<int32_t>(69 * lineLength), static_cast<int32_t>(99 * lineLength - 2));
    PrintChoice selection;
    selection.selection = true;
    SeenPrintDialog seen;
    const auto pages = Pages(Print(selection, &seen));
    EXPECT_TRUE(seen.selectionEnabled);
    ASSERT_EQ(pages.size(), 1u);
    std::vector<int> expected;
    for (int i = 70; i <= 99; ++i) expected.push_back(i);
    EXPECT_EQ(pages[0], expected);

    // One selected character leaves the selection choice off.
    Select(5, 6);
    SeenPrintDialog one;
    harness::AnswerNextDialog(AnswerPrintDialog({}, &one, false));
    Command(15);
    harness::Pump();
    EXPECT_TRUE(one.seen);
    EXPECT_FALSE(one.selectionEnabled);
}

TEST_F(PrintTest, RussianTextInEachDisplayCodePageComesOutAsShown) {
    // "Привет, мир!" in each code page, and CP866 box drawing.
    const Bytes texts[3] = {
        B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xB8\xA8"),
        B("\x8F\xE0\xA8\xA2\xA5\xE2, \xAC\xA8\xE0! \xC9\xCD\xBB \xBA\xDB\xBA"),
        B("\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2! \xA3\xB3"),
    };
    for (int cp = 0; cp < 3; ++cp) {
        SCOPED_TRACE(cp);
        Command(16 + cp);
        Load(texts[cp]);
        const std::string pdf = Print();
        ASSERT_FALSE(pdf.empty());
        std::string printed = PdfText(pdf);
        while (!printed.empty() && (printed.back() == '\n' || printed.back() == '\f')) printed.pop_back();
        EXPECT_EQ(printed, Shown(cp, texts[cp]));
        if (cp == 1)
            RunUnix("/usr/bin/pdftoppm -png -r 60 -f 1 -l 1 -singlefile " + pdf + " " + harness::ScreenshotFolder() +
                    "/print-cp866");
    }
    // A UTF-8 file with box drawing is shown in 866, and printed so.
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
    const std::string path = std::string(temp) + "lk2print-utf8.txt";
    const auto utf8 = harness::UnicodeFileBytes(FileEncoding::Utf8, 1, texts[1].data(), texts[1].size());
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    Command(16);
    ASSERT_TRUE(LoadFile(path.c_str()));
    DeleteFileA(path.c_str());
    EXPECT_EQ(DisplayCodePage(), 1);
    std::string printed = PdfText(Print());
    while (!printed.empty() && (printed.back() == '\n' || printed.back() == '\f')) printed.pop_back();
    EXPECT_EQ(printed, Shown(1, texts[1]));
    // Characters no code page holds print as themselves, and the words
    // after them keep their places.
    const std::string foreign = "\xEF\xBB\xBF\xD0\x9A\xD0\xB0\xD1\x84\xD0\xB5 Caf\xC3\xA9 "
                                "\xE2\x82\xBD" "100 \xE2\x86\x92 \xD0\xBC\xD0\xB8\xD1\x80";
    file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(file, foreign.data(), static_cast<DWORD>(foreign.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(LoadFile(path.c_str()));
    DeleteFileA(path.c_str());
    printed = PdfText(Print());
    while (!printed.empty() && (printed.back() == '\n' || printed.back() == '\f')) printed.pop_back();
    EXPECT_EQ(printed, foreign.substr(3));
}

// The position of the first word on page 1, in points from the page's
// top left corner.
bool FirstWordPosition(const std::string& pdf, double& x, double& y) {
    const std::string html = RunUnix("/usr/bin/pdftotext -bbox -f 1 -l 1 " + pdf + " -");
    const size_t at = html.find("<word xMin=\"");
    if (at == std::string::npos) return false;
    return sscanf(html.c_str() + at, "<word xMin=\"%lf\" yMin=\"%lf\"", &x, &y) == 2;
}

// Each word of page 1 and where it starts, in points from the page's left.
std::vector<std::pair<std::string, double>> WordStarts(const std::string& pdf) {
    const std::string html = RunUnix("/usr/bin/pdftotext -bbox -f 1 -l 1 " + pdf + " -");
    std::vector<std::pair<std::string, double>> words;
    for (size_t at = html.find("<word xMin=\""); at != std::string::npos; at = html.find("<word xMin=\"", at + 1)) {
        double x = 0;
        const size_t text = html.find('>', at);
        const size_t end = html.find("</word>", at);
        if (sscanf(html.c_str() + at, "<word xMin=\"%lf\"", &x) == 1 && text != std::string::npos && end > text)
            words.emplace_back(html.substr(text + 1, end - text - 1), x);
    }
    return words;
}

TEST_F(PrintTest, TabsReachTheirHalfInchStopsOnPaper) {
    // On paper the runs break at the tabs: each word after one starts at its
    // stop, every half inch (36 points) from the left margin (72 points).
    Load(B("a\tb\t\tc\r\nlonger words\tz\r\n"));
    const std::string pdf = Print();
    ASSERT_FALSE(pdf.empty());
    std::map<std::string, double> at;
    for (const auto& [word, x] : WordStarts(pdf)) at[word] = x;
    ASSERT_EQ(at.size(), 6u);
    EXPECT_NEAR(at["a"], 72, 3);
    EXPECT_NEAR(at["b"], 108, 3);
    EXPECT_NEAR(at["c"], 180, 3);
    EXPECT_NEAR(at["longer"], 72, 3);
    // "z" stands on the first stop after "longer words", whatever their width.
    EXPECT_GT(at["z"], at["words"]);
    const double stop = 72 + 36 * std::ceil((at["z"] - 3 - 72) / 36);
    EXPECT_NEAR(at["z"], stop, 3);
}

TEST_F(PrintTest, MarginsFromPageSetupMoveTheText) {
    Load(B("Margins\r\n"));
    double x = 0;
    double y = 0;
    // One inch each side by default: 72 points, the glyph's own bearing aside.
    ASSERT_TRUE(FirstWordPosition(Print(), x, y));
    EXPECT_NEAR(x, 72, 4);
    EXPECT_NEAR(y, 72, 6);

    // 50 mm on the left and top, as typed into the page-setup dialog.
    harness::AnswerNextDialog([](HWND dialog) {
        SetDlgItemTextA(dialog, edt4, "50");
        SetDlgItemTextA(dialog, edt5, "50");
        harness::SaveScreenshot(dialog, "page-setup-dialog");
        harness::PressButton(IDOK)(dialog);
    });
    Command(24);
    harness::Pump();
    EXPECT_EQ(ReadSettingDword("FldL", 0), 5000);
    EXPECT_EQ(ReadSettingDword("FldT", 0), 5000);
    EXPECT_EQ(ReadSettingDword("FldR", 0), 2500);
    ASSERT_TRUE(FirstWordPosition(Print(), x, y));
    EXPECT_NEAR(x, 5000 * 72.0 / 2500, 4);
    EXPECT_NEAR(y, 5000 * 72.0 / 2500, 6);

    // Cancelled: nothing changes.
    harness::AnswerNextDialog([](HWND dialog) {
        SetDlgItemTextA(dialog, edt4, "10");
        harness::PressButton(IDCANCEL)(dialog);
    });
    Command(24);
    harness::Pump();
    EXPECT_EQ(g_pageMargins.left, 5000);
    EXPECT_EQ(ReadSettingDword("FldL", 0), 5000);
}

TEST_F(PrintTest, MarginsStoredAreReadAtStartAndAbsurdOnesIgnored) {
    harness::StopEditor();
    WriteSettingDword("FldL", 20000);
    WriteSettingDword("FldR", 20000);
    WriteSettingDword("FldT", 5000);
    WriteSettingDword("FldB", -2000000000);
    ASSERT_TRUE(harness::StartEditor());
    Load(B("Wide\r\n"));
    double x = 0;
    double y = 0;
    ASSERT_TRUE(FirstWordPosition(Print(), x, y));
    // Left and right leave less than an inch: ignored. Top with a negative
    // bottom: ignored too.
    EXPECT_LT(x, 10);
    EXPECT_LT(y, 20);
}

TEST_F(PrintTest, CancelledDialogPrintsNothing) {
    Load(NumberedLines(3));
    harness::AnswerNextDialog(AnswerPrintDialog({}, nullptr, false));
    Command(15);
    harness::Pump();
    Sleep(1500);
    EXPECT_TRUE(PdfFiles().empty());
    EXPECT_TRUE(IsWindowEnabled(g_shell.mainWindow));
}

TEST_F(PrintTest, PrintToFileSendsTheJobToTheFilePort) {
    // Wine asks for no file name: its file port writes the job to a file
    // named "FILE:" in the current folder.
    RunUnix("rm -f FILE:");
    Load(NumberedLines(3));
    PrintChoice toFile;
    toFile.toFile = true;
    const int unexpected = harness::UnexpectedDialogs();
    harness::TakeSeenDialogs();
    harness::AnswerNextDialog(AnswerPrintDialog(toFile));
    Command(15);
    harness::Pump();
    std::string head;
    for (int i = 0; i < 100 && head.empty(); ++i) {
        head = RunUnix("head -c 4 FILE:");
        if (head.rfind("%!PS", 0) != 0) head.clear();
        Sleep(50);
    }
    RunUnix("rm -f FILE:");
    EXPECT_EQ(head, "%!PS");
    EXPECT_TRUE(PdfFiles().empty());
    // No error was reported.
    EXPECT_EQ(harness::TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(harness::UnexpectedDialogs(), unexpected);
    EXPECT_TRUE(IsWindowEnabled(g_shell.mainWindow));
}

TEST_F(PrintTest, AJobThePrinterRefusesIsReported) {
    const char* queue = getenv("LORK2_PRINTER");
    ASSERT_TRUE(queue);
    Load(NumberedLines(3));
    RunUnix(std::string("/usr/sbin/cupsreject ") + queue);
    harness::TakeSeenDialogs();
    harness::AnswerNextDialog(AnswerPrintDialog({}));
    harness::AnswerNextDialog(harness::PressButton(IDOK)); // the error box
    Command(15);
    harness::Pump();
    RunUnix(std::string("/usr/sbin/cupsaccept ") + queue);
    const auto seen = harness::TakeSeenDialogs();
    EXPECT_EQ(harness::DropUnusedAnswers(), 0);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.back().caption, "LORK2");
    EXPECT_TRUE(IsWindowEnabled(g_shell.mainWindow));
}

TEST_F(PrintTest, PrintSwitchOnTheCommandLinePrintsThroughTheDialog) {
    harness::StopEditor();
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "lork2-print-switch.txt";
    const Bytes text = NumberedLines(5);
    if (FILE* f = fopen(file.c_str(), "wb")) {
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    SeenPrintDialog seen;
    harness::AnswerNextDialog(AnswerPrintDialog({}, &seen));
    ASSERT_TRUE(harness::StartEditor(("lork2.exe /p \"" + file + "\"").c_str()));
    harness::Pump();
    EXPECT_TRUE(seen.seen);
    const std::string pdf = WaitForPdf();
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(LineNumbers(PdfText(pdf)), (std::vector<int>{1, 2, 3, 4, 5}));
    // The program stays open.
    EXPECT_TRUE(IsWindow(g_shell.mainWindow));
    DeleteFileA(file.c_str());
}

// The preview, driven from inside its modal loop.
struct PreviewLook {
    std::string caption;
    std::string next; // the next button's caption
    bool nextEnabled = false;
};

void SettlePreview(HWND dialog);

PreviewLook Look(HWND dialog) {
    SettlePreview(dialog);
    HWND page = GetDlgItem(dialog, IDC_PREVIEW_PAGE);
    InvalidateRect(page, nullptr, TRUE);
    UpdateWindow(page);
    PreviewLook look;
    char text[300];
    GetWindowTextA(dialog, text, sizeof text);
    look.caption = text;
    GetDlgItemTextA(dialog, IDC_PREVIEW_NEXT, text, sizeof text);
    look.next = text;
    look.nextEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_PREVIEW_NEXT)) != FALSE;
    return look;
}

void Click(HWND dialog, int id) {
    SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

// The preview as it first opens for the document, closed again at once.
PreviewLook FirstPreviewLook() {
    PreviewLook look;
    harness::AnswerNextDialog([&](HWND dialog) {
        look = Look(dialog);
        Click(dialog, IDOK);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_PREVIEW, 0);
    harness::Pump();
    return look;
}

TEST_F(PrintTest, PreviewStepsThroughThePagesThatPrint) {
    Load(NumberedLines(150));
    const size_t printedPages = Pages(Print()).size();
    std::vector<PreviewLook> looks;
    PreviewLook afterFirst;
    bool maximised = false;
    harness::AnswerNextDialog([&](HWND dialog) {
        looks.push_back(Look(dialog));
        maximised = IsZoomed(dialog) != FALSE;
        for (int i = 0; i < 10 && looks.back().nextEnabled; ++i) {
            Click(dialog, IDC_PREVIEW_NEXT);
            looks.push_back(Look(dialog));
        }
        harness::SaveScreenshot(dialog, "preview-last-page");
        Click(dialog, IDC_PREVIEW_FIRST);
        afterFirst = Look(dialog);
        Click(dialog, IDOK);
    });
    Command(10);
    harness::Pump();
    EXPECT_TRUE(maximised);
    ASSERT_EQ(looks.size(), printedPages);
    char title[300];
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    EXPECT_EQ(looks[0].caption, std::string("Просмотр: ") + title);
    EXPECT_EQ(looks[0].next, "1&.>>");
    EXPECT_TRUE(looks[0].nextEnabled);
    EXPECT_EQ(looks[1].next, "2&.>>");
    EXPECT_EQ(looks.back().next, std::to_string(printedPages) + " ||");
    EXPECT_FALSE(looks.back().nextEnabled);
    EXPECT_EQ(afterFirst.next, "1&.>>");
    EXPECT_TRUE(afterFirst.nextEnabled);
}

TEST_F(PrintTest, PreviewOfAnEmptyDocumentIsOneEmptyPage) {
    const PreviewLook look = FirstPreviewLook();
    EXPECT_EQ(look.next, "1 ||");
    EXPECT_FALSE(look.nextEnabled);
}

// The page control's pixels: true where dark.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
    bool Dark(int x, int y) const {
        const int stride = (width * 3 + 3) & ~3;
        const unsigned char* p = &pixels[static_cast<size_t>(height - 1 - y) * stride + x * 3];
        return p[0] + p[1] + p[2] < 3 * 128;
    }
};

// Lets the maximised preview finish laying itself out: the page control keeps
// its place for a few rounds of messages.
void SettlePreview(HWND dialog) {
    HWND page = GetDlgItem(dialog, IDC_PREVIEW_PAGE);
    RECT before{};
    int still = 0;
    for (int i = 0; i < 40 && still < 3; ++i) {
        harness::Pump();
        Sleep(25);
        RECT now;
        GetWindowRect(page, &now);
        still = EqualRect(&now, &before) ? still + 1 : 0;
        before = now;
    }
}

// The page as the preview draws it, painted into a bitmap of its own (the
// static control hands WM_PRINTCLIENT on to the owner drawing).
Picture CapturePage(HWND dialog) {
    HWND page = GetDlgItem(dialog, IDC_PREVIEW_PAGE);
    SettlePreview(dialog);
    RECT client;
    GetClientRect(page, &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    HDC screen = GetDC(page);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, picture.width, picture.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageA(page, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    SelectObject(memory, old);
    BITMAPINFOHEADER header{sizeof header, picture.width, picture.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (picture.width * 3 + 3) & ~3;
    picture.pixels.resize(static_cast<size_t>(stride) * picture.height);
    GetDIBits(memory, bitmap, 0, picture.height, picture.pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(page, screen);
    return picture;
}

int DarkShare(const Picture& picture) {
    int dark = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) dark += picture.Dark(x, y);
    const int all = picture.width * picture.height;
    return all > 0 ? dark * 1000 / all : 0;
}

void ClickAt(HWND dialog, UINT message, POINT inPage) {
    POINT p = inPage;
    MapWindowPoints(GetDlgItem(dialog, IDC_PREVIEW_PAGE), dialog, &p, 1);
    SendMessageA(dialog, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, MAKELPARAM(p.x, p.y));
}

TEST_F(PrintTest, PreviewZoomKeepsTheClickedPointInPlace) {
    // Blocks and gaps two characters wide: big shapes to compare (CP866).
    Bytes text;
    for (int i = 0; i < 12; ++i) text += B(i % 2 ? "  \xDB\xDB  \xDB\xDB  \xDB\xDB\r\n" : "\xDB\xDB  \xDB\xDB  \xDB\xDB\r\n");
    WriteSettingDword("SizeD", 480); // 24 points: blocks large next to their edges
    Command(17);
    Load(text);
    Picture before;
    Picture zoomed;
    Picture outside;
    Picture back;
    POINT point{};
    harness::AnswerNextDialog([&](HWND dialog) {
        before = CapturePage(dialog);
        harness::SaveScreenshot(dialog, "preview-zoom1");
        // The middle of the block pattern: the first dark pixel's
        // neighbourhood, a little inside.
        bool found = false;
        for (int y = 0; y < before.height && !found; ++y)
            for (int x = 0; x < before.width && !found; ++x)
                if (before.Dark(x, y)) {
                    point = {x + 40, y + 40};
                    found = true;
                }
        ClickAt(dialog, WM_LBUTTONDOWN, point);
        zoomed = CapturePage(dialog);
        harness::SaveScreenshot(dialog, "preview-zoom3");
        // A click outside the page changes nothing.
        SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        outside = CapturePage(dialog);
        // The right button zooms out again.
        ClickAt(dialog, WM_RBUTTONDOWN, point);
        back = CapturePage(dialog);
        Click(dialog, IDOK);
    });
    Command(10);
    harness::Pump();
    ASSERT_GT(before.width, 100);
    // Blocks on white paper: some of it dark, most of it not.
    ASSERT_GT(DarkShare(before), 2);
    ASSERT_LT(DarkShare(before), 300);
    ASSERT_GT(point.x, 0);
    // Around the point, the zoomed picture is the one before, three times
    // larger: what lay d away from the point now lies 3d away. Each picture
    // rounds to whole pixels, so the best match may sit a pixel of the
    // unzoomed page (three zoomed ones) off; a zoom about any other point
    // would sit far off.
    int best = 0;
    int total = 0;
    POINT offset{};
    for (int oy = -12; oy <= 12; ++oy) {
        for (int ox = -12; ox <= 12; ++ox) {
            int same = 0;
            int count = 0;
            for (int dy = -60; dy <= 60; dy += 3) {
                for (int dx = -60; dx <= 60; dx += 3) {
                    const int zx = point.x + dx + ox;
                    const int zy = point.y + dy + oy;
                    const int bx = point.x + dx / 3;
                    const int by = point.y + dy / 3;
                    if (zx < 0 || zy < 0 || zx >= before.width || zy >= before.height || bx < 0 || by < 0) continue;
                    ++count;
                    same += zoomed.Dark(zx, zy) == before.Dark(bx, by);
                }
            }
            if (same > best) {
                best = same;
                total = count;
                offset = {ox, oy};
            }
        }
    }
    ASSERT_GT(total, 1000);
    EXPECT_GT(best * 100 / total, 95) << best << " of " << total;
    EXPECT_LE(std::abs(offset.x), 4);
    EXPECT_LE(std::abs(offset.y), 4);
    EXPECT_NE(zoomed.pixels, before.pixels);
    EXPECT_EQ(outside.pixels, zoomed.pixels);
    EXPECT_EQ(back.pixels, before.pixels);
}

} // namespace

namespace {

// Pixels of a colour: blue (the HTML tag colour) or red.
int CountColour(const Picture& picture, bool blue) {
    int n = 0;
    const int stride = (picture.width * 3 + 3) & ~3;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* p = &picture.pixels[static_cast<size_t>(y) * stride + x * 3]; // B, G, R
            const int strong = blue ? p[0] : p[2];
            const int other = blue ? p[2] : p[0];
            n += strong > 180 && other < 90 && p[1] < 90;
        }
    }
    return n;
}

Picture PreviewPicture() {
    Picture picture;
    harness::AnswerNextDialog([&](HWND dialog) {
        picture = CapturePage(dialog);
        Click(dialog, IDOK);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, 10, 0);
    harness::Pump();
    return picture;
}

TEST_F(PrintTest, PagesShowTheTextAndTagColoursAsTheEditorDoes) {
    WriteSettingDword("Cl", RGB(230, 0, 0));
    Command(16); // the text colour takes effect as the editor applies it
    Load(B("<html><body>Красный текст, <b>синие</b> теги</body></html>\r\n"));
    const Picture plain = PreviewPicture();
    EXPECT_GT(CountColour(plain, false), 50);
    EXPECT_EQ(CountColour(plain, true), 0);
    // Tag colouring on: the tags turn blue, the text stays red.
    Command(52);
    const Picture coloured = PreviewPicture();
    EXPECT_GT(CountColour(coloured, true), 50);
    EXPECT_GT(CountColour(coloured, false), 50);
    EXPECT_LT(CountColour(coloured, false), CountColour(plain, false));
    // Applying the display code page paints everything in the text colour again.
    Command(16);
    EXPECT_EQ(CountColour(PreviewPicture(), true), 0);
}

TEST_F(PrintTest, APageOnWhichNothingFitsEndsPrintingAndPaging) {
    // A font taller than the page's print rectangle.
    WriteSettingDword("SizeW", 20000);
    Command(16);
    Load(NumberedLines(5));
    const PreviewLook look = FirstPreviewLook();
    EXPECT_EQ(look.next, "1 ||");
    EXPECT_FALSE(look.nextEnabled);
    const std::string pdf = Print();
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(PageCount(pdf), 1);
}

} // namespace

namespace {

struct PageFit {
    RECT client{};  // the dialog's client area
    RECT page{};    // the page control, in the dialog's client coordinates
    int buttonBottom = 0;
};

PageFit PreviewFit() {
    PageFit fit;
    harness::AnswerNextDialog([&](HWND dialog) {
        SettlePreview(dialog);
        GetClientRect(dialog, &fit.client);
        HWND page = GetDlgItem(dialog, IDC_PREVIEW_PAGE);
        GetWindowRect(page, &fit.page);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&fit.page), 2);
        RECT button;
        GetClientRect(GetDlgItem(dialog, IDC_PREVIEW_NEXT), &button);
        fit.buttonBottom = button.bottom;
        Click(dialog, IDOK);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, 10, 0);
    harness::Pump();
    return fit;
}

// The page control for each of some window sizes, with the client area.
std::vector<PageFit> PreviewFitsInSizes(const std::vector<SIZE>& sizes) {
    std::vector<PageFit> fits;
    harness::AnswerNextDialog([&](HWND dialog) {
        SettlePreview(dialog);
        // Restored by the user, the preview keeps the sizes given to it.
        SendMessageA(dialog, WM_SYSCOMMAND, SC_RESTORE, 0);
        for (const SIZE& size : sizes) {
            SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
            SettlePreview(dialog);
            PageFit fit;
            GetClientRect(dialog, &fit.client);
            GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW_PAGE), &fit.page);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&fit.page), 2);
            fits.push_back(fit);
        }
        Click(dialog, IDOK);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, 10, 0);
    harness::Pump();
    return fits;
}

TEST_F(PrintTest, PreviewPageLiesInsideTheWindowWhateverItsSize) {
    Load(NumberedLines(10));
    const std::vector<SIZE> sizes{{1200, 300}, {250, 900}, {300, 200}, {900, 700}};
    auto check = [&](const char* paper) {
        SCOPED_TRACE(paper);
        const std::vector<PageFit> fits = PreviewFitsInSizes(sizes);
        ASSERT_EQ(fits.size(), sizes.size());
        for (const PageFit& fit : fits) {
            SCOPED_TRACE(std::to_string(fit.client.right) + "x" + std::to_string(fit.client.bottom));
            EXPECT_GT(fit.page.right - fit.page.left, 10);
            EXPECT_GT(fit.page.bottom - fit.page.top, 10);
            EXPECT_GE(fit.page.left, 0);
            EXPECT_LE(fit.page.right, fit.client.right);
            EXPECT_LE(fit.page.bottom, fit.client.bottom);
        }
        // Opened again, the page fits the maximised window at once.
        const PageFit again = PreviewFit();
        EXPECT_LE(again.page.bottom, again.client.bottom);
        EXPECT_LE(again.page.right, again.client.right);
    };
    check("portrait");
    harness::AnswerNextDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, rad2, BM_CLICK, 0, 0);
        harness::PressButton(IDOK)(dialog);
    });
    Command(24);
    harness::Pump();
    check("landscape");
}

TEST_F(PrintTest, PreviewFitsPortraitToTheHeightAndLandscapeToTheWidth) {
    Load(NumberedLines(10));
    // Portrait (A4): the height below the button row, centred.
    PageFit portrait = PreviewFit();
    const int y = portrait.buttonBottom + 4;
    EXPECT_EQ(portrait.page.top, y);
    EXPECT_EQ(portrait.page.bottom - portrait.page.top, portrait.client.bottom - y - 2);
    const int width = portrait.page.right - portrait.page.left;
    EXPECT_NEAR(width * 297.0 / 210.0, portrait.page.bottom - portrait.page.top, 3);
    EXPECT_NEAR(portrait.page.left, (portrait.client.right - width) / 2, 1);

    // Landscape, chosen in the page-setup dialog: the printer's settings are
    // kept for the preview and the print.
    harness::AnswerNextDialog([](HWND dialog) {
        SendDlgItemMessageA(dialog, rad2, BM_CLICK, 0, 0);
        harness::PressButton(IDOK)(dialog);
    });
    Command(24);
    harness::Pump();
    PageFit landscape = PreviewFit();
    EXPECT_EQ(landscape.page.right - landscape.page.left, landscape.client.right - y);
    EXPECT_NEAR((landscape.page.right - landscape.page.left) * 210.0 / 297.0,
                landscape.page.bottom - landscape.page.top, 3);
    const std::string pdf = Print();
    ASSERT_FALSE(pdf.empty());
    const std::string info = RunUnix("/usr/bin/pdfinfo " + pdf);
    // A4 turned by a quarter.
    double w = 0;
    double h = 0;
    int turn = 0;
    const size_t size = info.find("Page size:");
    const size_t rot = info.find("Page rot:");
    ASSERT_NE(size, std::string::npos);
    ASSERT_NE(rot, std::string::npos);
    ASSERT_EQ(sscanf(info.c_str() + size, "Page size: %lf x %lf", &w, &h), 2);
    ASSERT_EQ(sscanf(info.c_str() + rot, "Page rot: %d", &turn), 1);
    EXPECT_TRUE((w > h) != (turn % 180 == 90)) << w << " x " << h << ", turned " << turn;
}

} // namespace

// A font size stored outside what the program writes (an old version's, a
// hand-edited one) shows, previews and prints at the nearest size the program
// offers, so that no printer or screen font is made thousands of points high.
TEST_F(PrintTest, AbsurdStoredFontSizeShowsPreviewsAndPrintsAtTheNearestOfferedSize) {
    Load(NumberedLines(30));
    for (const int32_t stored : {2000000000, 1000000, 1, 19}) {
        WriteSetting(setting::FontSize(DisplayCodePage()), stored);
        ApplyDisplayCodePage();
        CHARFORMATA shown{};
        shown.cbSize = sizeof shown;
        SendMessageA(EditorWindow(), EM_GETCHARFORMAT, FALSE, reinterpret_cast<LPARAM>(&shown));
        EXPECT_GE(shown.yHeight, 20) << stored;
        EXPECT_LE(shown.yHeight, 520) << stored;
        bool opened = false;
        harness::AnswerNextDialog([&](HWND dialog) {
            opened = true;
            SettlePreview(dialog);
            // Both zooms drawn.
            RECT r;
            GetWindowRect(GetDlgItem(dialog, IDC_PREVIEW_PAGE), &r);
            POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ScreenToClient(dialog, &middle);
            SendMessageA(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(middle.x, middle.y));
            UpdateWindow(GetDlgItem(dialog, IDC_PREVIEW_PAGE));
            Click(dialog, IDOK);
        });
        Command(IDM_PREVIEW);
        harness::Pump();
        EXPECT_TRUE(opened) << stored;
        const std::string pdf = Print();
        ASSERT_FALSE(pdf.empty()) << stored;
        EXPECT_FALSE(LineNumbers(PdfText(pdf, 1)).empty()) << stored;
    }
}
