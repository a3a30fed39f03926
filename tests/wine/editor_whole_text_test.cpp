// Replacing the whole text, or most of a large one, by keys and commands: the
// text goes into a fresh control, and what the user sees stays as the
// control itself would leave it.
#include "tests/wine/editor_fixture.h"

#include "app/settings.h"

#include <cstring>
#include <functional>

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
        HWND before = g_editor;
        c.act();
        EXPECT_NE(g_editor, before) << c.name; // a fresh control holds the text
        EXPECT_EQ(GetFocus(), g_editor) << c.name;
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
    HWND before = g_editor;
    Type(0xC0);
    EXPECT_NE(g_editor, before);
    EXPECT_TRUE(g_overwriteMode);
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
    before = g_editor;
    Key(VK_DELETE);
    EXPECT_EQ(g_editor, before);
    Command(4);
    EXPECT_EQ(Text(), text);
}

TEST_F(WholeText, WithTheControlsOwnUndoTheControlDeletesAndTakesItBack) {
    WriteSettingDword("NO", 1);
    const Bytes text = Lines(2000);
    Load(text);
    Command(47);
    HWND before = g_editor;
    Key(VK_DELETE);
    EXPECT_EQ(g_editor, before);
    EXPECT_EQ(Text(), B(""));
    Command(4);
    EXPECT_EQ(Text(), text);
}

} // namespace
