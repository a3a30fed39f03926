// Loading and saving a 20 MB file through the editor against the bare
// rich-edit control streaming the same bytes, under Wine. Prints the ratios.
//
//   lork2_document_bench [MB] [RUNS] [unicode | utf8-first]
//
// "unicode" leaves the bare control out (at 20 MB it takes minutes) and sets
// the same text as 1251 and as UTF-8 against each other in one run;
// "utf8-first" does so with the UTF-8 file opened first. Run each in a
// process of its own: from the third large load of a process on, Wine's
// heap walks the free blocks the swapped-out controls left (see
// control_swap_bench.cpp), and a load takes many times as long, whatever
// its encoding.
#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/program.h"
#include "bench/wine_bench.h"
#include "core/unicode/utf8.h"
#include "document/documents.h"
#include "editor/editor.h"

namespace {

DWORD CALLBACK ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    DWORD read = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size), &read, nullptr)) return 1;
    *done = static_cast<LONG>(read);
    return 0;
}

DWORD CALLBACK WriteToFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    DWORD written = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size), &written, nullptr)) return 1;
    *done = static_cast<LONG>(written);
    return written == static_cast<DWORD>(size) ? 0 : 1;
}

// The bare control: the file streamed in, and out to another file.
double BareLoad(HWND control, const char* path) {
    const double start = Now();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, ReadFromFile};
    SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return Now() - start;
}

double BareSave(HWND control, const char* path) {
    const double start = Now();
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE, nullptr);
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, WriteToFile};
    SendMessageA(control, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    return Now() - start;
}

} // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? static_cast<size_t>(atoi(argv[1])) : 20;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "lk2bench";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string source = folder + "\\source.txt";
    const std::string bareCopy = folder + "\\bare.txt";
    const std::string saved = folder + "\\saved.txt";
    const std::string savedUtf8 = folder + "\\saved-utf8.txt";

    // 20 MB of Russian text lines in 1251 with line breaks, and the same
    // text written as UTF-8.
    const std::string line = "Съешь же ещё этих мягких французских булок, да выпей чаю. 0123456789\r\n";
    const std::string text = RepeatedLines(line, megabytes * 1000 * 1000);
    WriteWholeFile(source, text);
    const std::string utf8Source = folder + "\\utf8.txt";
    const std::vector<unsigned char> utf8 =
        CodePageToUtf8(0, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    WriteWholeFile(utf8Source, std::string(utf8.begin(), utf8.end()));

    fprintf(stderr, "file written\n");
    if (!StartProgram("lork2.exe", SW_SHOWNORMAL)) return 1;
    fprintf(stderr, "started\n");
    const int kRuns = argc > 2 ? atoi(argv[2]) : 1;
    const bool utf8First = argc > 3 && strcmp(argv[3], "utf8-first") == 0;
    const bool unicodeOnly = utf8First || (argc > 3 && strcmp(argv[3], "unicode") == 0);
    double bareLoad = 1e9, bareSave = 1e9, rename = 1e9;
    // The best wall and processor time (the thread's own) of a load and of
    // a save over the existing file, for one file.
    struct Times {
        double load = 1e9, loadCpu = 1e9, save = 1e9, saveCpu = 1e9;
    };
    Times ansi, unicode;
    auto loadAndSave = [](const std::string& from, const std::string& to, int run, Times& t) {
        double start = Now(), cpu = ThreadTime();
        LoadFile(from.c_str());
        t.load = std::min(t.load, Now() - start);
        t.loadCpu = std::min(t.loadCpu, ThreadTime() - cpu);
        lstrcpynA(g_document.fileName, to.c_str(), kPathSize);
        // Saved once as a new file, then timed saving over it: the usual case.
        if (run == 0) SaveFile();
        SendMessageA(EditorWindow(), EM_SETMODIFY, TRUE, 0);
        start = Now();
        cpu = ThreadTime();
        SaveFile();
        t.save = std::min(t.save, Now() - start);
        t.saveCpu = std::min(t.saveCpu, ThreadTime() - cpu);
        fprintf(stderr, "%s %.1f %.1f\n", from.c_str(), t.load, t.save);
    };
    HWND bare = nullptr;
    for (int i = 0; i < kRuns; ++i) {
        // The UTF-8 file is read, decoded into 1251 and saved as UTF-8 again.
        if (utf8First) loadAndSave(utf8Source, savedUtf8, i, unicode);
        if (!unicodeOnly) {
            // A bare control like the editor's (no wrap), empty as a loaded
            // one starts: the control deletes a large text in quadratic time.
            if (bare) DestroyWindow(bare);
            bare = CreateWindowExA(0, "RICHEDIT", nullptr,
                                   WS_CHILD | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, 0, 0, 400,
                                   300, g_shell.mainWindow, nullptr, g_shell.instance, nullptr);
            SendMessageA(bare, EM_EXLIMITTEXT, 0, g_shell.sizeLimit);
            bareLoad = std::min(bareLoad, BareLoad(bare, source.c_str()));
            bareSave = std::min(bareSave, BareSave(bare, bareCopy.c_str()));
            fprintf(stderr, "bare %.1f %.1f\n", bareLoad, bareSave);
        }
        loadAndSave(source, saved, i, ansi);
        // The one step the safe save adds: a rename over the old file.
        const std::string other = folder + "\\renamed.txt";
        CopyFileA(saved.c_str(), other.c_str(), FALSE);
        const double start = Now();
        MoveFileExA(other.c_str(), bareCopy.c_str(), MOVEFILE_REPLACE_EXISTING);
        rename = std::min(rename, Now() - start);
        if (!utf8First) loadAndSave(utf8Source, savedUtf8, i, unicode);
    }
    const double load = ansi.load, save = ansi.save, loadUtf8 = unicode.load, saveUtf8 = unicode.save;
    printf("%u MB file, best of %d:\n", static_cast<unsigned>(megabytes), kRuns);
    if (!unicodeOnly) {
        printf("  bare control stream in from file   %8.1f ms\n", bareLoad * 1e3);
        printf("  LoadFile                           %8.1f ms   ratio %.2f (goal <= 1.5)\n", load * 1e3,
               load / bareLoad);
        printf("  bare control stream out to file    %8.1f ms\n", bareSave * 1e3);
        printf("  SaveFile over the existing file    %8.1f ms   ratio %.2f (goal <= 1.5)\n", save * 1e3,
               save / bareSave);
        printf("  one rename over an existing file   %8.3f ms\n", rename * 1e3);
    } else {
        printf("  LoadFile                           %8.1f ms\n", load * 1e3);
        printf("  SaveFile over the existing file    %8.1f ms\n", save * 1e3);
    }
    printf("  LoadFile of the text as UTF-8      %8.1f ms   ratio %.2f to the 1251 file (goal <= 1.1)\n",
           loadUtf8 * 1e3, loadUtf8 / load);
    printf("  SaveFile as UTF-8                  %8.1f ms   ratio %.2f to saving as shown (goal <= 1.2)\n",
           saveUtf8 * 1e3, saveUtf8 / save);
    printf("  processor time: LoadFile %.1f ms, as UTF-8 %.1f ms (ratio %.2f); SaveFile %.1f ms, as UTF-8 %.1f ms "
           "(ratio %.2f)\n",
           ansi.loadCpu * 1e3, unicode.loadCpu * 1e3, unicode.loadCpu / ansi.loadCpu, ansi.saveCpu * 1e3,
           unicode.saveCpu * 1e3, unicode.saveCpu / ansi.saveCpu);
    if (bare) DestroyWindow(bare);
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    DestroyWindow(g_shell.mainWindow);
    for (const std::string& f : {source, bareCopy, saved, utf8Source, savedUtf8}) DeleteFileA(f.c_str());
    RemoveDirectoryA(folder.c_str());
    return 0;
}
