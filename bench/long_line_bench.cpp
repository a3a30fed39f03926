// What the length of a paragraph costs the editor's rich-edit control under
// Wine: filling a bare control made as the editor makes it (word wrap on, or
// off with WS_HSCROLL | ES_AUTOHSCROLL) with texts of one shape in a
// geometric series of sizes, and then typing one character in the middle of
// the text. Each fill runs in a process of its own with a time limit, so a
// fill that does not end is cut off and the series stops there. The control
// is filled hidden with the default font and then shown and painted.
//
//   lork2_long_line_bench [LIMIT_S [FIRST_KB [LAST_KB [SHAPE...]]]]  (default 40 16 65536, all)
//   lork2_long_line_bench --shape SHAPE WRAP BYTES RESULT    (one fill: the child)
//
// SHAPE: words (one paragraph of Cyrillic words), solid (one paragraph
// without blanks, as minified HTML), lines (short lines of words), empty
// (CR LF only), nul (NUL bytes), mixed (one paragraph of Cyrillic, Latin,
// digit and sign words between blanks), prose (one paragraph of Russian
// sentences). Prints, per shape and wrap, seconds for the
// fill and for the typed character, the load average of the machine (read
// from /proc/loadavg when Wine shows it), and the exponent between
// neighbouring sizes (2 = growing with the square).
#include <windows.h>
#include <richedit.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/wine_bench.h"
#include "core/charset/display_map.h"

namespace {

constexpr DWORD kWrapOff = WS_HSCROLL | ES_AUTOHSCROLL;

std::string MakeShape(const std::string& shape, size_t n) {
    if (shape == "words") {
        std::string text = RepeatedLines("\xF1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 ", n);
        text.resize(n);
        return text;
    }
    if (shape == "solid") {
        std::string text = RepeatedLines("<div class=\"\xEC\xE5\xED\xFE\">\xCF\xF0\xE8\xE2\xE5\xF2</div>", n);
        std::string solid;
        for (char c : text) solid += c == ' ' ? '_' : c;
        solid.resize(n);
        return solid;
    }
    if (shape == "mixed") { // words of changing scripts between blanks
        std::string text = RepeatedLines("\xEC\xE5\xED\xFE div 12 \xCF\xF0\xE8\xE2\xE5\xF2 class = ", n);
        text.resize(n);
        return text;
    }
    if (shape == "prose") { // Russian sentences: letters, commas and full stops
        std::string text = RepeatedLines("\xD1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 \xFD\xF2\xE8\xF5 "
                                         "\xEC\xFF\xE3\xEA\xE8\xF5 \xE1\xF3\xEB\xEE\xEA, \xE4\xE0 "
                                         "\xE2\xFB\xEF\xE5\xE9 \xF7\xE0\xFE. ", n);
        text.resize(n);
        return text;
    }
    if (shape == "lines") return MakeDocument(n);
    if (shape == "empty") return RepeatedLines("\r\n", n).substr(0, n);
    return std::string(n, '\0');
}

struct Stream {
    std::u16string units;
    size_t position = 0;
};

DWORD CALLBACK FillIn(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* done) {
    auto* s = reinterpret_cast<Stream*>(cookie);
    const size_t count = std::min<size_t>(s->units.size() - s->position, static_cast<size_t>(size / 2));
    memcpy(chunk, s->units.data() + s->position, count * 2);
    s->position += count;
    *done = static_cast<LONG>(count * 2);
    return 0;
}

// The child: one fill and one typed character; seconds into RESULT.
int MeasureOne(const std::string& shape, bool wrap, size_t n, const char* result) {
    LoadLibraryA("riched32");
    HWND top = CreateWindowExA(0, "STATIC", "lk2", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                               nullptr, nullptr, nullptr);
    const DWORD style = WS_CHILD | WS_VISIBLE | ES_SELECTIONBAR | WS_VSCROLL | ES_AUTOVSCROLL | ES_NOOLEDRAGDROP |
                        ES_MULTILINE | ES_DISABLENOSCROLL | (wrap ? 0 : kWrapOff);
    HWND edit = CreateWindowExA(WS_EX_STATICEDGE, "RICHEDIT", nullptr, style, 0, 0, 780, 560, top, nullptr,
                                nullptr, nullptr);
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    // The editor's default font; the text goes into the control hidden, as
    // a load fills it.
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_SIZE | CFM_FACE | CFM_CHARSET;
    format.yHeight = 200;
    format.bCharSet = RUSSIAN_CHARSET;
    lstrcpyA(format.szFaceName, "Courier New");
    SendMessageA(edit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessageA(edit, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    ShowWindow(edit, SW_HIDE);
    Pump();
    const std::string bytes = MakeShape(shape, n);
    Stream stream;
    stream.units.resize(bytes.size());
    DecodeDisplayBytes(0, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), stream.units.data());
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&stream), 0, FillIn};
    double start = Now();
    SendMessageA(edit, EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    ShowWindow(edit, SW_SHOW);
    UpdateWindow(top);
    Pump();
    const double fill = Now() - start;
    // One character typed in the middle, until it is painted.
    CHARRANGE middle{static_cast<LONG>(n / 2), static_cast<LONG>(n / 2)};
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&middle));
    Pump();
    start = Now();
    SendMessageA(edit, WM_CHAR, 'x', 1);
    UpdateWindow(top);
    Pump();
    const double typed = Now() - start;
    FILE* out = fopen(result, "w");
    if (!out) return 1;
    fprintf(out, "%.3f %.3f\n", fill, typed);
    fclose(out);
    return 0;
}

std::string LoadAverage() {
    FILE* f = fopen("Z:\\proc\\loadavg", "r");
    if (!f) return "?";
    char line[64] = "";
    fgets(line, sizeof line, f);
    fclose(f);
    line[strcspn(line, " ")] = '\0';
    return line;
}

// Runs one fill in a child; false when it did not end within the limit.
bool RunOne(const std::string& self, const std::string& shape, bool wrap, size_t n, double limit, double* fill,
            double* typed) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string result = std::string(temp) + "lk2line.txt";
    DeleteFileA(result.c_str());
    PROCESS_INFORMATION process;
    if (!StartProgram("\"" + self + "\" --shape " + shape + (wrap ? " on " : " off ") + std::to_string(n) + " \"" +
                          result + "\"",
                      process))
        return false;
    const bool ended = WaitForSingleObject(process.hProcess, static_cast<DWORD>(limit * 1000)) == WAIT_OBJECT_0;
    EndProcess(process);
    if (!ended) return false;
    FILE* in = fopen(result.c_str(), "r");
    if (!in) return false;
    const bool read = fscanf(in, "%lf %lf", fill, typed) == 2;
    fclose(in);
    return read;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && strcmp(argv[1], "--shape") == 0)
        return MeasureOne(argv[2], strcmp(argv[3], "on") == 0, static_cast<size_t>(atoll(argv[4])), argv[5]);
    const double limit = argc > 1 ? atof(argv[1]) : 40;
    const size_t first = (argc > 2 ? static_cast<size_t>(atoll(argv[2])) : 16) << 10;
    const size_t last = (argc > 3 ? static_cast<size_t>(atoll(argv[3])) : 65536) << 10;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const char* all[] = {"words", "solid", "nul", "empty", "lines", "mixed", "prose"};
    std::vector<std::string> shapes(std::begin(all), std::end(all));
    if (argc > 4) shapes.assign(argv + 4, argv + argc);
    printf("fill and one typed character, limit %.0f s; load average before each run\n", limit);
    for (const std::string& shape : shapes) {
        for (bool wrap : {false, true}) {
            double previousSize = 0;
            double previousFill = 0;
            for (size_t n = first; n <= last; n *= 2) {
                const std::string load = LoadAverage();
                double fill = 0;
                double typed = 0;
                if (!RunOne(self, shape, wrap, n, limit, &fill, &typed)) {
                    printf("%-6s wrap %-3s %9zu KB  over %.0f s  (load %s)\n", shape.c_str(), wrap ? "on" : "off", n >> 10,
                           limit, load.c_str());
                    fflush(stdout);
                    break;
                }
                const double exponent =
                    previousFill > 0.05 ? std::log(fill / previousFill) / std::log(n / previousSize) : 0;
                printf("%-6s wrap %-3s %9zu KB  fill %8.2f s  typed %7.3f s  exponent %5.2f  (load %s)\n", shape.c_str(),
                       wrap ? "on" : "off", n >> 10, fill, typed, exponent, load.c_str());
                fflush(stdout);
                previousSize = static_cast<double>(n);
                previousFill = fill;
            }
        }
    }
    return 0;
}
