// What would leave the editor without an answer is refused before it is
// tried, and a long load can be cancelled with Escape; either way the
// document stays exactly as it was.
#include <windows.h>

#include <string>

#include "base/globals.h"
#include "core/app/command_ids.h"
#include "document/documents.h"
#include "editor/memory_check.h"
#include "tests/wine/editor_fixture.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;
using harness::TakeSeenDialogs;

const std::string kLine = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! text 12345\r\n";
const std::string kMarkup = "<div class=\"\xEC\xE5\xED\xFE\">\xCF\xF0\xE8\xE2\xE5\xF2</div>";

std::string Repeated(const std::string& piece, size_t bytes) {
    std::string text;
    while (text.size() + piece.size() <= bytes) text += piece;
    return text;
}

class TimeBudget : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        path_ = std::string(temp) + "lk2budget" + std::to_string(GetCurrentProcessId()) + ".txt";
        TakeSeenDialogs();
    }
    void TearDown() override {
        SetMachineSlowness(1);
        DeleteFileA(path_.c_str());
        DialogTest::TearDown();
    }
    const std::string& File(const std::string& text) {
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return path_;
    }
    // A document the user has worked on: typed, modified, with its history.
    void StartWork() {
        Load(B("kept"));
        Select(4, 4);
        Type(" text");
        name_ = g_document.fileName;
    }
    void ExpectWorkKept() {
        EXPECT_EQ(Text(), B("kept text"));
        EXPECT_EQ(std::string(g_document.fileName), name_);
        EXPECT_TRUE(Modified());
        EXPECT_FALSE(UndoHistoryEmpty());
        EXPECT_EQ(DisplayCodePage(), 0);
        EXPECT_TRUE(GetWindowLongPtrA(EditorWindow(), GWL_STYLE) & WS_VISIBLE);
    }
    // The one message shown since the last look holds every part.
    static void ExpectMessage(std::initializer_list<const char*> parts) {
        const auto seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        for (const char* part : parts) EXPECT_NE(seen[0].text.find(part), std::string::npos) << seen[0].text;
    }

    std::string path_;
    std::string name_;
};

TEST_F(TimeBudget, ALongLineIsRefusedOrTakenWithoutWrapAsItWouldCost) {
    StartWork();
    // 600 KB of markup in one line between 1 MB of short lines: each sign
    // starts a run, and the line would take the control minutes.
    const std::string lines = Repeated(kLine, 1 << 20);
    const std::string markup = Repeated(kMarkup, 600000);
    AnswerNextDialog(PressButton(IDOK));
    EXPECT_FALSE(LoadFile(File(lines + markup + "\r\n" + lines).c_str()));
    ExpectMessage({path_.c_str(), "строка длиной 600\xA0" "000 знаков", "такой файл редактор не откроет"});
    ExpectWorkKept();

    // A line of words is cheap without word wrap and slow with it: with word
    // wrap on, the file is taken and word wrap turned off.
    Command(IDM_WORD_WRAP);
    ASSERT_TRUE(WordWrapOn());
    const std::string words = lines + Repeated("\xF1\xFA\xE5\xF8\xFC \xE6\xE5 \xE5\xF9\xB8 ", 200000) + "\r\n";
    ASSERT_TRUE(LoadFile(File(words).c_str()));
    EXPECT_FALSE(WordWrapOn());
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(words.size()));
    EXPECT_FALSE(Modified());
    // Word wrap cannot be turned back on for it.
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_WORD_WRAP);
    ExpectMessage({"Перенос по словам: строка длиной"});
    EXPECT_FALSE(WordWrapOn());
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(words.size()));
}

TEST_F(TimeBudget, WorkTooLongForThisMachineIsRefusedWithTimeAndMemory) {
    StartWork();
    // A machine two hundred times slower than the one measured: 2 MB of
    // short lines would take many minutes.
    SetMachineSlowness(200);
    AnswerNextDialog(PressButton(IDOK));
    EXPECT_FALSE(LoadFile(File(Repeated(kLine, 2 << 20)).c_str()));
    ExpectMessage({path_.c_str(), ": около ", " минут и ", " МБ памяти; для таких файлов есть lork2-text."});
    ExpectWorkKept();
    // A small file still loads there.
    ASSERT_TRUE(LoadFile(File(kLine).c_str()));
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(kLine.size()));
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

TEST_F(TimeBudget, APasteOfOneHugeLineIsRefusedAndTheClipboardKept) {
    const std::string huge = Repeated(kMarkup, 5 << 20);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, huge.size() + 1);
    memcpy(GlobalLock(h), huge.c_str(), huge.size() + 1);
    GlobalUnlock(h);
    SetClipboardData(CF_TEXT, h);
    CloseClipboard();
    StartWork();
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_PASTE);
    ExpectMessage({"Вставка: строка длиной 5\xA0" "242\xA0" "8", "такой текст редактор не возьмёт"});
    ExpectWorkKept();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST_F(TimeBudget, EscapeCancelsALoadAndLeavesTheDocument) {
    StartWork();
    const std::string big = Repeated(kLine, 3 << 19);
    // Escape pressed while the file streams in (it waits in the queue for
    // the first progress; the control it would reach is gone by then).
    PostMessageA(g_shell.mainWindow, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_FALSE(LoadFile(File(big).c_str()));
    ExpectWorkKept();
    char title[64];
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    EXPECT_EQ(std::string(title).find('%'), std::string::npos) << title;
    // An insertion of the file goes in the same way (into a control aside), as
    // one undo step.
    Select(4, 4);
    AnswerNextDialog(harness::ChooseFile(path_));
    Command(IDM_INSERT_FILE);
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(big.size()) + 9);
    EXPECT_EQ(Selection().cpMin, static_cast<int32_t>(big.size()) + 4);
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("kept text"));
    TakeSeenDialogs();
    Key(VK_END);
    Type("!");
    EXPECT_EQ(Text(), B("kept text!"));
    // Without Escape the same file loads, shown as the guess says.
    ASSERT_TRUE(LoadFile(File(big).c_str()));
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(big.size()));
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

// Escape pressed in the last part of a load or an insertion, which cannot
// be stopped (here: when the text is in and the modified flag is set), was
// meant for the operation: it never reaches the close command afterwards.
HHOOK g_escapeHook;
bool g_escapeArmed;
LRESULT CALLBACK EscapeWhenTheTextIsIn(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == EM_SETMODIFY && call->hwnd == EditorWindow() && g_escapeArmed) {
        g_escapeArmed = false;
        PostMessageA(call->hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
        PostMessageA(call->hwnd, WM_KEYUP, VK_ESCAPE, harness::kKeyReleased | 1);
        PostMessageA(call->hwnd, WM_CHAR, 'a', 1);
    }
    return CallNextHookEx(g_escapeHook, code, wParam, lParam);
}

TEST_F(TimeBudget, AnEscapeLeftOverFromALongLoadOrInsertionNeverClosesTheEditor) {
    const std::string big = Repeated(kLine, 3 << 19);
    g_escapeHook = SetWindowsHookExA(WH_CALLWNDPROC, EscapeWhenTheTextIsIn, nullptr, GetCurrentThreadId());
    g_escapeArmed = true;
    ASSERT_TRUE(LoadFile(File(big).c_str()));
    harness::Pump();
    ASSERT_TRUE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(big.size()) + 1); // the other key stays
    AnswerNextDialog(harness::ChooseFile(path_));
    g_escapeArmed = true;
    Command(IDM_INSERT_FILE);
    harness::Pump();
    UnhookWindowsHookEx(g_escapeHook);
    ASSERT_TRUE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(TextLength(EditorWindow()), 2 * static_cast<int32_t>(big.size()) + 2);
    TakeSeenDialogs();
}

} // namespace
