// Find and replace on a large document under Wine, against loading the same
// document, streaming it out once and one keystroke. Prints the times and
// their ratios.
//
//   lork2_search_bench [size in MB, default 20] [--skip-replace]
//
// The document holds 100,000 occurrences of "target" (a second one 10,000),
// one "needle" 60 KB after the middle, and no "zzqqx".
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/heap_block.h"
#include "bench/wine_bench.h"
#include "core/editor/byte_find.h"
#include "core/search/search_rules.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"
#include "search/search.h"
#include "search/search_dialog.h"

namespace {

// Lines of Cyrillic and Latin words with `matches` occurrences of "target"
// spread evenly, and "needle" 60 KB after the middle.
std::string MakeDocument(size_t size, int matches) {
    const char* words[] = {"\xCF\xF0\xE8\xE2\xE5\xF2", "text", "\xEC\xE8\xF0", "12345", "\xF1\xF2\xF0\xEE\xEA\xE0",
                           "line", "\xE4\xEE\xEA\xF3\xEC\xE5\xED\xF2"};
    std::string text;
    text.reserve(size + 100);
    const size_t spacing = (size - 100000) / static_cast<size_t>(matches);
    size_t nextMarker = spacing / 2;
    size_t column = 0;
    int placed = 0;
    bool needle = false;
    for (size_t i = 0; text.size() < size - 16; ++i) {
        if (placed < matches && text.size() >= nextMarker) {
            text += "target";
            ++placed;
            nextMarker += spacing;
        } else if (!needle && text.size() >= size / 2 + 60000) {
            text += "needle";
            needle = true;
        } else {
            text += words[i % 7];
        }
        column += 7;
        if (column > 70) {
            text += "\r\n";
            column = 0;
        } else {
            text += ' ';
        }
    }
    while (text.size() < size) text += ' ';
    return text;
}

int CountOccurrences(const std::string& text, const std::string& word) {
    int n = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++n;
    return n;
}

void LoadDocument(const std::string& text) {
    ClearUndoHistory();
    FillWholeText(reinterpret_cast<const unsigned char*>(text.data()), static_cast<int32_t>(text.size()));
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
}

void SetQuery(const char* text, const char* replacement, bool upward, bool replaceMode) {
    g_search = SearchState{};
    g_search.textLength = static_cast<int32_t>(strlen(text));
    memcpy(g_search.text, text, g_search.textLength);
    g_search.replacementLength = static_cast<int32_t>(strlen(replacement));
    memcpy(g_search.replacement, replacement, g_search.replacementLength);
    g_search.upward = upward;
    g_search.replaceMode = replaceMode;
    g_search.replaceAll = replaceMode;
    g_search.prompt = false;
    g_search.matchCase = true;
}

// The median seconds of one Find next from `caret`.
double FindNextFrom(int32_t caret, int times, int32_t* found) {
    std::vector<double> t;
    for (int i = 0; i < times; ++i) {
        SetSelection(EditorWindow(), caret, caret);
        g_search.position = caret;
        const double start = Now();
        SearchStep();
        t.push_back(Now() - start);
        *found = GetSelection(EditorWindow()).cpMin;
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// The find as it was: the whole range from the caret to the end copied out
// in one piece, then searched.
int32_t FindByWholeCopy(int32_t first, const char* word) {
    const int32_t length = TextLength(EditorWindow());
    HeapBuffer view(static_cast<size_t>(length - first) + 2);
    const int32_t n = GetRangeBytes(EditorWindow(), first, length, view.get(), length - first);
    const std::ptrdiff_t r = FindInView(view.get(), n, 0, n, reinterpret_cast<const unsigned char*>(word),
                                        strlen(word), kFindMatchCase, 0);
    return r < 0 ? -1 : first + static_cast<int32_t>(r);
}

// The upward find as it was: the bisection's every probe a read of the
// control. The median seconds of `times` runs from `caret`.
double UpwardByProbeReads(int32_t caret, const char* word, int times, int32_t* found) {
    const auto* needle = reinterpret_cast<const unsigned char*>(word);
    const auto m = static_cast<int32_t>(strlen(word));
    auto probe = [&](int32_t first, int32_t last) {
        return FindBytes(EditorWindow(), first, last, needle, m, kFindMatchCase, last - first);
    };
    std::vector<double> t;
    for (int i = 0; i < times; ++i) {
        const double start = Now();
        *found = FindLastBefore(probe, caret, m, 64 * 1024);
        t.push_back(Now() - start);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// What an upward Find next near the caret is made of, each the median of 21.
void PrintUpwardParts(int32_t caret, double key) {
    std::vector<unsigned char> window(64 * 1024 + 2);
    std::vector<wchar_t> units(64 * 1024 + 2);
    auto row = [&](const char* what, double seconds) {
        printf("    %-40s %8.3f ms  (%.2f keystrokes)\n", what, seconds * 1e3, seconds / key);
    };
    row("read 64 KB before the caret", MedianSeconds(21, [&] {
            GetRangeBytes(EditorWindow(), caret - 65536, caret, window.data(), 65536);
        }));
    row("read 4 KB before the caret", MedianSeconds(21, [&] {
            GetRangeBytes(EditorWindow(), caret - 4096, caret, window.data(), 4096);
        }));
    row("select the match (EM_EXSETSEL)", MedianSeconds(21, [&] { SetSelection(EditorWindow(), caret - 200, caret - 194); }));
    row("scroll to it (EM_SCROLLCARET)", MedianSeconds(21, [&] { SendMessageA(EditorWindow(), EM_SCROLLCARET, 0, 0); }));
    row("select 64 KB and read the selection", MedianSeconds(21, [&] {
            SetSelection(EditorWindow(), caret - 65536, caret);
            GETTEXTEX get{static_cast<DWORD>(units.size() * 2), GT_SELECTION, 1200, nullptr, nullptr};
            SendMessageA(EditorWindow(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                         reinterpret_cast<LPARAM>(units.data()));
        }));
    SetSelection(EditorWindow(), caret, caret);
}

double KeystrokeCost(int32_t at, int keys) {
    SetSelection(EditorWindow(), at, at);
    std::vector<double> t;
    for (int i = 0; i < keys; ++i) {
        const double start = Now();
        SendMessageA(EditorWindow(), WM_CHAR, i % 2 ? 'a' : 'b', 1);
        t.push_back(Now() - start);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

struct ReplaceRow {
    int matches;
    double seconds;
    int replaced;
};

ReplaceRow ReplaceAllOnce(const std::string& document, int matches) {
    const double loadStart = Now();
    LoadDocument(document);
    fprintf(stderr, "  loaded for replace all in %.3f s\n", Now() - loadStart);
    SetSelection(EditorWindow(), 0, 0);
    SetQuery("target", "hit", false, true);
    const int32_t before = TextLength(EditorWindow());
    const double start = Now();
    FindNext(); // replace mode and replace all on, prompt off
    const double seconds = Now() - start;
    const int replaced = (before - TextLength(EditorWindow())) / 3;
    return {matches, seconds, replaced};
}

} // namespace

int main(int argc, char** argv) {
    size_t megabytes = 20;
    bool replace = true;
    bool onlyReplace = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--skip-replace")) {
            replace = false;
        } else if (!strcmp(argv[i], "--only-replace")) {
            onlyReplace = true;
        } else {
            megabytes = static_cast<size_t>(std::max(1, atoi(argv[i])));
        }
    }
    const size_t size = megabytes << 20;
    LoadLibraryA("riched32");
    g_shell.sizeLimit = 0x7FFFFFFF;
    g_shell.heap = GetProcessHeap();
    g_shell.mainWindow = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                   nullptr, nullptr, nullptr);
    SetDecodingForNewText(0);
    CreateEditorControl();
    MoveWindow(EditorWindow(), 0, 0, 800, 600, TRUE);

    const std::string many = MakeDocument(size, 100000);
    const int manyCount = CountOccurrences(many, "target");
    fprintf(stderr, "document %zu MB, %d occurrences\n", megabytes, manyCount);
    if (onlyReplace) {
        const ReplaceRow r = ReplaceAllOnce(many, manyCount);
        fprintf(stderr, "replace all %d: %.3f s (%d replaced)\n", r.matches, r.seconds, r.replaced);
        return 0;
    }
    LoadDocument(many); // into an empty editor first
    double start = Now();
    LoadDocument(many); // over the text, as a file loaded into a full editor
    const double load = Now() - start;
    std::vector<unsigned char> out(many.size() + 2);
    start = Now();
    StreamBytesOut(EditorWindow(), false, out.data(), static_cast<int32_t>(out.size()));
    const double streamOut = Now() - start;
    const int32_t middle = static_cast<int32_t>(size / 2);
    const double key = KeystrokeCost(middle, 41);
    LoadDocument(many);
    fprintf(stderr, "load %.3f s, stream out %.3f s, key %.1f us\n", load, streamOut, key * 1e6);

    // Find next near the caret, downward and upward.
    int32_t found = 0;
    SetQuery("target", "", false, false);
    const double nearDown = FindNextFrom(middle, 21, &found);
    const int32_t nearDownAt = found;
    SetQuery("needle", "", false, false);
    const double farDown = FindNextFrom(middle, 21, &found);
    const int32_t farDownAt = found;
    start = Now();
    const int32_t wholeCopyAt = FindByWholeCopy(middle, "needle");
    const double wholeCopy = Now() - start;
    SetQuery("target", "", true, false);
    const double nearUp = FindNextFrom(middle, 21, &found);
    const int32_t nearUpAt = found;
    SetQuery("needle", "", true, false);
    const double farUp = FindNextFrom(middle + 70000, 21, &found);
    const int32_t farUpAt = found;
    int32_t probeAt = 0;
    const double nearUpProbes = UpwardByProbeReads(middle, "target", 5, &probeAt);
    fprintf(stderr, "near down %.2f ms (at %d), 60 KB down %.2f ms (at %d, whole copy %.2f ms at %d), near up %.2f ms, "
            "60 KB up %.2f ms (at %d)\n", nearDown * 1e3, nearDownAt - middle, farDown * 1e3, farDownAt - middle,
            wholeCopy * 1e3, wholeCopyAt - middle, nearUp * 1e3, farUp * 1e3, farUpAt - middle);

    // A word that does not occur, over the whole text.
    SetQuery("zzqqx", "", false, false);
    g_search.wholeText = true;
    g_search.position = 0;
    start = Now();
    const bool downFound = SearchStep();
    const double missingDown = Now() - start;
    SetQuery("zzqqx", "", true, false);
    g_search.wholeText = true;
    g_search.position = TextLength(EditorWindow());
    start = Now();
    const bool upFound = SearchStep();
    const double missingUp = Now() - start;
    fprintf(stderr, "missing word down %.3f s (%d), up %.3f s (%d)\n", missingDown, downFound, missingUp, upFound);

    // Match by match, a few hundred matches, for the cost of one.
    SetQuery("target", "hit", false, true);
    g_search.replaceAll = false;
    SetSelection(EditorWindow(), 0, 0);
    g_search.position = 0;
    const int steps = 200;
    start = Now();
    for (int i = 0; i < steps; ++i) SearchStep();
    const double perMatch = (Now() - start) / steps;
    fprintf(stderr, "match by match: %.2f ms per match\n", perMatch * 1e3);

    ReplaceRow rows[2] = {};
    if (replace) {
        const std::string fewer = MakeDocument(size, 10000);
        rows[0] = ReplaceAllOnce(fewer, CountOccurrences(fewer, "target"));
        fprintf(stderr, "replace all %d: %.3f s (%d replaced)\n", rows[0].matches, rows[0].seconds, rows[0].replaced);
        rows[1] = ReplaceAllOnce(many, manyCount);
        fprintf(stderr, "replace all %d: %.3f s (%d replaced)\n", rows[1].matches, rows[1].seconds, rows[1].replaced);
    }

    printf("Find and replace on a %zu MB document under Wine (medians of 21 runs for Find next).\n\n", megabytes);
    printf("  load the document (whole text replaced) %10.3f s\n", load);
    printf("  stream the whole text out once          %10.3f s\n", streamOut);
    printf("  one keystroke in the middle             %10.3f ms\n", key * 1e3);
    printf("  Find next, match 200 bytes after caret  %10.3f ms  (%.2f keystrokes)\n", nearDown * 1e3, nearDown / key);
    printf("  Find next, match 60 KB after caret      %10.3f ms  (%.2f keystrokes)\n", farDown * 1e3, farDown / key);
    printf("    the same by one whole copy (before)   %10.3f ms  (%.1fx the pieces)\n", wholeCopy * 1e3,
           wholeCopy / farDown);
    printf("  Find next up, match 200 bytes before    %10.3f ms  (%.2f keystrokes)\n", nearUp * 1e3, nearUp / key);
    PrintUpwardParts(middle, key);
    printf("    the same by one read a probe (before) %10.3f ms  (%.2f keystrokes, %.1fx; at %d, now at %d)\n",
           nearUpProbes * 1e3, nearUpProbes / key, nearUpProbes / nearUp, probeAt - middle,
           nearUpAt - middle);
    printf("  Find next up, match 60 KB before        %10.3f ms  (%.2f keystrokes)\n", farUp * 1e3, farUp / key);
    printf("  missing word, downward over the text    %10.3f s   (%.2fx stream out, goal <= 2)\n", missingDown,
           missingDown / streamOut);
    printf("  missing word, upward over the text      %10.3f s   (%.2fx stream out, goal <= 2)\n", missingUp,
           missingUp / streamOut);
    printf("  replace match by match, per match       %10.3f ms  (100,000 matches: about %.0f s)\n", perMatch * 1e3,
           perMatch * 1e5);
    if (replace) {
        for (const ReplaceRow& r : rows)
            printf("  replace all without prompt, %6d       %10.3f s   (%.2fx load, goal <= 2; %d replaced)\n",
                   r.matches, r.seconds, r.seconds / load, r.replaced);
        printf("  100,000 / 10,000 matches                %10.2fx     (goal <= 12x)\n", rows[1].seconds / rows[0].seconds);
    }
    return 0;
}
