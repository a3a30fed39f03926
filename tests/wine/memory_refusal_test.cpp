// A file or clipboard text the editor control cannot hold is refused before
// it goes in, with the need and the memory available named, and the
// document left as it was. The machine's memory is simulated small.
#include <windows.h>

#include <string>

#include "base/globals.h"
#include "core/app/command_ids.h"
#include "document/documents.h"
#include "editor/memory_check.h"
#include "tests/wine/editor_fixture.h"

namespace {

using harness::AnswerNextDialog;
using harness::ChooseFile;
using harness::PressButton;
using harness::TakeSeenDialogs;

uint64_t g_simulatedMemory = 0;
uint64_t SimulatedMemory() { return g_simulatedMemory; }

class MemoryRefusal : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        path_ = std::string(temp) + "lk2memory" + std::to_string(GetCurrentProcessId()) + ".txt";
        g_simulatedMemory = uint64_t{1} << 40; // plenty, until a test says otherwise
        SetAvailableMemoryReader(SimulatedMemory);
        TakeSeenDialogs();
    }
    void TearDown() override {
        SetAvailableMemoryReader(nullptr);
        DeleteFileA(path_.c_str());
        DialogTest::TearDown();
    }
    // A file of 2 MB in short lines: the control needs a few hundred MB.
    std::string BigFile() {
        std::string text;
        while (text.size() < (2u << 20)) text += "\xCF\xF0\xE8\xE2\xE5\xF2 text 12345\r\n";
        HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        size_ = static_cast<int32_t>(text.size());
        return path_;
    }
    // The one message box shown since the last look (after a file dialog,
    // if one was answered): it names `what` and both amounts.
    static void ExpectRefusal(const std::string& what, size_t dialogsBefore = 0) {
        const auto seen = TakeSeenDialogs();
        ASSERT_EQ(seen.size(), dialogsBefore + 1);
        const auto& box = seen.back();
        EXPECT_EQ(box.caption, "LORK2");
        EXPECT_NE(box.text.find(what), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("нужно около"), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("доступно 100 МБ"), std::string::npos) << box.text;
    }
    static void PutOnClipboard(const std::string& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(h), text.c_str(), text.size() + 1);
        GlobalUnlock(h);
        SetClipboardData(CF_TEXT, h);
        CloseClipboard();
    }

    std::string path_;
    int32_t size_ = 0;
};

TEST_F(MemoryRefusal, ALoadTheMemoryCannotHoldIsRefusedAndTheDocumentKept) {
    const std::string big = BigFile();
    Type("kept");
    const std::string name = g_document.fileName;
    g_simulatedMemory = uint64_t{100} << 20;
    AnswerNextDialog(PressButton(IDOK));
    EXPECT_FALSE(LoadFile(big.c_str()));
    ExpectRefusal(big);
    EXPECT_EQ(Text(), B("kept"));
    EXPECT_EQ(std::string(g_document.fileName), name);
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(UndoHistoryEmpty());
    // With the memory there, the same file loads.
    g_simulatedMemory = uint64_t{8} << 30;
    ASSERT_TRUE(LoadFile(big.c_str()));
    EXPECT_EQ(TextLength(EditorWindow()), size_);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    // A small file still loads in the small memory.
    g_simulatedMemory = uint64_t{100} << 20;
    const std::string small = path_ + ".small";
    HANDLE file = CreateFileA(small.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "small", 5, &written, nullptr);
    CloseHandle(file);
    EXPECT_TRUE(LoadFile(small.c_str()));
    EXPECT_EQ(Text(), B("small"));
    EXPECT_TRUE(TakeSeenDialogs().empty());
    DeleteFileA(small.c_str());
}

TEST_F(MemoryRefusal, AnInsertionTheMemoryCannotHoldLeavesTheTextAndHistory) {
    const std::string big = BigFile();
    Load(B("Hello world"));
    Select(6, 11);
    g_simulatedMemory = uint64_t{100} << 20;
    AnswerNextDialog(ChooseFile(big));
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_INSERT_FILE);
    ExpectRefusal(big, 1);
    EXPECT_EQ(Text(), B("Hello world"));
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_EQ(Selection().cpMin, 6);
    EXPECT_EQ(Selection().cpMax, 11);
}

TEST_F(MemoryRefusal, APasteTheMemoryCannotHoldLeavesTheTextAndClipboard) {
    std::string huge;
    while (huge.size() < (2u << 20)) huge += "line of text\r\n";
    PutOnClipboard(huge);
    Load(B("abc"));
    Select(1, 2);
    g_simulatedMemory = uint64_t{100} << 20;
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_PASTE);
    ExpectRefusal("Вставка");
    EXPECT_EQ(Text(), B("abc"));
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());
    // The clipboard keeps the text; with the memory there it goes in, and a
    // short paste never asks.
    g_simulatedMemory = uint64_t{8} << 30;
    Command(IDM_PASTE);
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(huge.size()) + 2);
    g_simulatedMemory = uint64_t{100} << 20;
    PutOnClipboard("short");
    Select(0, 0);
    Command(IDM_PASTE);
    EXPECT_EQ(TextLength(EditorWindow()), static_cast<int32_t>(huge.size()) + 7);
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

TEST_F(MemoryRefusal, ADisplaySwitchTheMemoryCannotHoldKeepsTheCodePageAndText) {
    // CP866 text: shown as 1251 its letters fall into many more runs.
    std::string text;
    while (text.size() < (1u << 20)) text += "\x91\xEA\xA5\xE8\xEC \xA6\xA5 \xA5\xE9\xF1, \xA4\xA0 \xE7\xA0\xEE.\r\n";
    const Bytes bytes(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    Command(IDM_SHOW_OEM);
    Load(bytes);
    Select(100, 200);
    g_simulatedMemory = uint64_t{100} << 20;
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_SHOW_ANSI);
    ExpectRefusal("Показ в другой кодировке");
    EXPECT_EQ(DisplayCodePage(), 1);
    EXPECT_EQ(harness::MenuItemState(IDM_SHOW_OEM) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(Text(), bytes);
    EXPECT_EQ(Selection().cpMin, 100);
    EXPECT_EQ(Selection().cpMax, 200);
    EXPECT_FALSE(Modified());
    // With the memory there, the switch goes through.
    g_simulatedMemory = uint64_t{8} << 30;
    Command(IDM_SHOW_ANSI);
    EXPECT_EQ(DisplayCodePage(), 0);
    EXPECT_EQ(Text(), bytes);
    EXPECT_TRUE(TakeSeenDialogs().empty());
}

} // namespace
