// Replacing the whole text, or most of a large one, by keys and commands: the
// text goes into a fresh control, and what the user sees stays as the
// control itself would leave it.
#include "tests/wine/editor_fixture.h"

#include "base/settings.h"
#include "core/app/command_ids.h"
#include "document/documents.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using WholeText = EditorTest;

Bytes Lines(size_t size) {
    Bytes text;
    for (int i = 0; text.size() < size; ++i) {
        text += B("\xD1\xF2\xF0\xEE\xEA\xE0 line ");
        text += static_cast<unsigned char>('0' + i % 10);
        text += B("\r\n");
    }
    return text;
}

void PutOnClipboard(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    strcpy(static_cast<char*>(GlobalLock(h)), text);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
}

TEST_F(WholeText, SelectAllThenDeleteBackspaceCutPasteOrTypingIsUndoneToTheSameBytes) {
    const Bytes text = Lines(4000);
    PutOnClipboard("pasted");
    struct Case {
        const char* name;
        std::function<void()> act;
        Bytes after;
    };
    const Case cases[] = {
        {"Delete", [] { Key(VK_DELETE); }, B("")},
        {"Backspace", [] { Key(VK_BACK); }, B("")},
        {"Delete command", [] { Command(6); }, B("")},
        {"Paste", [] { Key('V', true); }, B("pasted")},
        {"Cut", [] { Key('X', true); }, B("")},
    };
    for (const Case& c : cases) {
        Load(text);
        ClearUndoHistory();
        Command(47);
        HWND before = EditorWindow();
        c.act();
        EXPECT_NE(EditorWindow(), before) << c.name; // a fresh control holds the text
        EXPECT_EQ(GetFocus(), EditorWindow()) << c.name;
        EXPECT_EQ(Text(), c.after) << c.name;
        EXPECT_EQ(Selection().cpMin, static_cast<LONG>(c.after.size())) << c.name;
        EXPECT_EQ(Selection().cpMax, static_cast<LONG>(c.after.size())) << c.name;
        EXPECT_TRUE(Modified()) << c.name;
        Command(4);
        EXPECT_EQ(Text(), text) << c.name;
        EXPECT_TRUE(UndoHistoryEmpty()) << c.name;
    }
}

TEST_F(WholeText, TypingOverMostOfALargeTextKeepsTheLastLineBreakAndOverwriteMode) {
    const Bytes text = Lines(100 * 1024);
    Load(text);
    Key(VK_INSERT);
    Command(47);
    HWND before = EditorWindow();
    Type(0xC0);
    EXPECT_NE(EditorWindow(), before);
    EXPECT_TRUE(OverwriteMode());
    EXPECT_EQ(Text(), B("\xC0\r\n"));
    EXPECT_EQ(Selection().cpMin, 1);
    Type('b'); // overwrites nothing at the line break
    EXPECT_EQ(Text(), B("\xC0" "b\r\n"));
    Command(4);
    Command(4);
    EXPECT_EQ(Text(), text);
    Key(VK_INSERT);
    // A small selection stays in the control.
    Select(10, 20);
    before = EditorWindow();
    Key(VK_DELETE);
    EXPECT_EQ(EditorWindow(), before);
    Command(4);
    EXPECT_EQ(Text(), text);
}

TEST_F(WholeText, WithTheControlsOwnUndoTheControlDeletesAndTakesItBack) {
    UseControlUndo(true);
    const Bytes text = Lines(2000);
    Load(text);
    Command(47);
    HWND before = EditorWindow();
    Key(VK_DELETE);
    EXPECT_EQ(EditorWindow(), before);
    EXPECT_EQ(Text(), B(""));
    Command(4);
    EXPECT_EQ(Text(), text);
}

// Titles the main window is given while it lives.
std::vector<std::string> g_titles;
WNDPROC g_mainProc;
LRESULT CALLBACK RecordTitles(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && lParam) g_titles.push_back(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(g_mainProc, hwnd, message, wParam, lParam);
}

// A file of the temporary folder holding 1.3 MB of lines (a long load);
// returns its path.
std::string LongFile(const char* name) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + name;
    const Bytes text = Lines(1300 * 1024);
    FILE* f = fopen(path.c_str(), "wb");
    if (f) fwrite(text.data(), 1, text.size(), f);
    if (f) fclose(f);
    return path;
}

TEST_F(WholeText, ALongLoadShowsItsProgressInTheTitle) {
    const std::string path = LongFile("lk2-long-load.txt");
    const Bytes text = Lines(1300 * 1024);
    g_titles.clear();
    g_mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordTitles)));
    ASSERT_TRUE(LoadFile(path.c_str()));
    SetWindowLongPtrA(g_shell.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    DeleteFileA(path.c_str());
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(text.size()));
    ASSERT_GE(g_titles.size(), 2u);
    EXPECT_NE(g_titles[0].find('%'), std::string::npos) << g_titles[0];
    EXPECT_EQ(g_titles.back().find('%'), std::string::npos) << g_titles.back();
    EXPECT_NE(g_titles.back().find("lk2-long-load"), std::string::npos) << g_titles.back();
}

} // namespace

// Every whole-text operation puts its text in a new control before the old
// one goes. When the system gives no new control, the error is shown and
// text, selection, display, wrap and undo history stay as they were; a
// replacement of most of the text then happens in the control itself.
TEST_F(WholeText, NoNewControlLosesNothing) {
    harness::TakeSeenDialogs(); // those of the tests before
    const Bytes text = Lines(4000);
    struct Case {
        const char* name;
        int command;
        int first; // a command before, or 0
    };
    const Case refused[] = {
        {"conversion of the whole text", IDM_TO_OEM, 0},
        {"display switch", IDM_SHOW_OEM, 0},
        {"word wrap", IDM_WORD_WRAP, 0},
        {"undo of a conversion", IDM_UNDO, IDM_TO_KOI8},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        Load(text);
        ClearUndoHistory();
        if (c.first) Command(c.first);
        const Bytes before = Text();
        const int display = DisplayCodePage();
        const bool wrap = WordWrapOn();
        const bool history = UndoHistoryEmpty();
        Select(7, 7);
        HWND control = EditorWindow();
        harness::RefuseNextWindowOf("RICHEDIT");
        harness::AnswerNextDialog(harness::PressButton(IDOK));
        Command(c.command);
        EXPECT_EQ(harness::TakeSeenDialogs().size(), 1u); // the system's error
        EXPECT_EQ(EditorWindow(), control);
        EXPECT_EQ(Text(), before);
        EXPECT_EQ(Selection().cpMin, 7);
        EXPECT_EQ(Selection().cpMax, 7);
        EXPECT_EQ(DisplayCodePage(), display);
        EXPECT_EQ(WordWrapOn(), wrap);
        EXPECT_EQ(UndoHistoryEmpty(), history);
    }
    Load(text);
    Command(IDM_SELECT_ALL);
    harness::RefuseNextWindowOf("RICHEDIT");
    Key(VK_DELETE);
    EXPECT_TRUE(harness::TakeSeenDialogs().empty());
    EXPECT_EQ(Text(), B(""));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);

    // A long load stopped by Escape once the old control is gone: the
    // document comes back from the editor's memory. When no control can be
    // had for that either, the memory keeps it: Save As writes it byte for
    // byte, and a display switch shows it again, history and all.
    const std::string longFile = LongFile("lk2-stopped.txt");
    const std::string keptFile = longFile.substr(0, longFile.size() - 4) + "-kept.txt";
    for (const bool refill : {true, false}) {
        SCOPED_TRACE(refill ? "stopped, put back" : "stopped, no control to put it back in");
        Load(text);
        Command(IDM_TO_KOI8);
        Select(7, 9);
        const Bytes before = Text();
        if (!refill) {
            harness::RefuseNextWindowOf("RICHEDIT", 1); // the load's control is made, the next one is not
            harness::AnswerNextDialog(harness::PressButton(IDOK));
        }
        PostMessageA(g_shell.mainWindow, WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_FALSE(LoadFile(longFile.c_str()));
        EXPECT_EQ(harness::TakeSeenDialogs().size(), refill ? 0u : 1u);
        EXPECT_EQ(DisplayCodePage(), 2);
        EXPECT_TRUE(DocumentModified());
        EXPECT_FALSE(UndoHistoryEmpty());
        if (!refill) {
            EXPECT_EQ(EditorWindow(), nullptr);
            harness::AnswerNextDialog(harness::ChooseFile(keptFile));
            Command(IDM_SAVE_AS);
            EXPECT_FALSE(DocumentModified());
            Bytes written(before.size() + 16, 0);
            FILE* in = fopen(keptFile.c_str(), "rb");
            ASSERT_TRUE(in);
            written.resize(fread(written.data(), 1, written.size(), in));
            fclose(in);
            EXPECT_EQ(written, before);
            Command(IDM_SHOW_KOI8);
            ASSERT_NE(EditorWindow(), nullptr);
        }
        EXPECT_EQ(Text(), before);
        EXPECT_EQ(Selection().cpMin, 7);
        EXPECT_EQ(Selection().cpMax, 9);
        Command(IDM_UNDO); // Save As began a new history
        EXPECT_EQ(Text(), refill ? text : before);
    }
    DeleteFileA(longFile.c_str());
    DeleteFileA(keptFile.c_str());
}
