// Typing, line breaks, deleting and the word movement of the editor control.
#include "editor/control.h"
#include "tests/wine/editor_fixture.h"

#include <algorithm>
#include <cstring>

#include "base/settings.h"
#include "core/charset/display_map.h"

namespace {

using Typing = EditorTest;

TEST_F(Typing, LettersGoInAsBytesOfTheDisplayCodePage) {
    Type("ab\xC0"); // a, b, Cyrillic А from the keyboard
    EXPECT_EQ(Text(), B("ab\xC0"));
    Command(IDM_SHOW_OEM); // OEM
    EXPECT_EQ(Text(), B("ab\xC0"));
    Select(3, 3);
    Type(0xC0); // 1251 А is 866 0x80
    EXPECT_EQ(Text(), B("ab\xC0\x80"));
    Command(IDM_SHOW_KOI8); // KOI8-R
    Select(4, 4);
    Type(0xC0); // via 866 0x80 to KOI8-R 0xE1
    Type('z');  // below 0x80: never translated
    EXPECT_EQ(Text(), B("ab\xC0\x80\xE1z"));
    // Each shows as the character its byte has in KOI8-R.
    wchar_t shown[8] = {};
    GETTEXTEX get{sizeof shown, GT_DEFAULT, 1200, nullptr, nullptr};
    SendMessageA(EditorWindow(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[4], DisplayChar(2, 0xE1));
    EXPECT_EQ(shown[4], 0x0410);
}

TEST_F(Typing, OemSmallAInsertsA0AlsoInOverwriteMode) {
    Command(IDM_SHOW_OEM);
    Type(0xE0);
    EXPECT_EQ(Text(), B("\xA0"));
    Load(B("xyz"));
    Select(1, 1);
    Key(VK_INSERT);
    ASSERT_TRUE(OverwriteMode());
    Type(0xE0);
    EXPECT_EQ(Text(), B("x\xA0z"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("xyz"));
}

TEST_F(Typing, TypingOverASelectionEndingInALineBreakKeepsIt) {
    Load(B("abc\r\nnext"));
    Select(0, 5);
    Type('X');
    EXPECT_EQ(Text(), B("X\r\nnext"));
    // Exactly CR LF selected: the line break is replaced.
    Select(1, 3);
    Type('Y');
    EXPECT_EQ(Text(), B("XYnext"));
}

TEST_F(Typing, EnterInsertsOneLineBreakAndCharacterLineBreaksNothing) {
    Load(B("ab"));
    Select(1, 1);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), B("a\r\nb"));
    Select(0, 1);
    Key(VK_RETURN, false, true); // Shift+Enter replaces the selection too
    EXPECT_EQ(Text(), B("\r\n\r\nb"));
    Type('\r');
    Type('\n');
    EXPECT_EQ(Text(), B("\r\n\r\nb"));
    // Ctrl+M makes a CR character: nothing.
    Key('M', true);
    EXPECT_EQ(Text(), B("\r\n\r\nb"));
}

TEST_F(Typing, EnterKeepsTheLoneLineFeedsOfAnLfDocumentAndCtrlYTheirLines) {
    // Put in as a load puts it.
    auto put = [](const Bytes& text) { PutNewDocument(text.data(), static_cast<int32_t>(text.size()), 0); };
    put(B("\xEE\xE4\xE8\xED\n\xE4\xE2\xE0\n\xF2\xF0\xE8"));
    Select(4, 4);
    Key(VK_RETURN);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), B("\xEE\xE4\xE8\xED\n\n\n\xE4\xE2\xE0\n\xF2\xF0\xE8"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("\xEE\xE4\xE8\xED\n\n\xE4\xE2\xE0\n\xF2\xF0\xE8"));
    Select(6, 6);
    Key('Y', true);
    EXPECT_EQ(Text(), B("\xEE\xE4\xE8\xED\n\n\xF2\xF0\xE8"));
    // A mixed document, and one without a break, take CR LF; that one is
    // looked at again once a lone LF has come in.
    put(B("a\r\nb\nc"));
    Select(1, 1);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), B("a\r\n\r\nb\nc"));
    put(B("ab"));
    Select(1, 1);
    ReplaceSelection(reinterpret_cast<const unsigned char*>("\n"), 1);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), B("a\n\nb"));
}

TEST_F(Typing, CtrlTabInsertsNothingAndTabInsertsATab) {
    Key(VK_TAB, true);
    EXPECT_EQ(Text(), B(""));
    Type('\t');
    EXPECT_EQ(Text(), B("\t"));
}

TEST_F(Typing, DeleteWithASelectionThroughALineBreak) {
    Load(B("abcd\r\nef"));
    Select(2, 6); // from the middle of the line through its break
    Key(VK_DELETE);
    EXPECT_EQ(Text(), B("ab\r\nef"));
    Load(B("abcd\r\nef"));
    Select(0, 6); // from the line start: the break goes too
    Key(VK_DELETE);
    EXPECT_EQ(Text(), B("ef"));
}

TEST_F(Typing, CtrlYDeletesTheLineWithItsBreakButTheLastKeepsTheBreakBefore) {
    Load(B("one\r\ntwo\r\nthree"));
    Select(5, 5);
    Key('Y', true);
    EXPECT_EQ(Text(), B("one\r\nthree"));
    Select(7, 7);
    Key('Y', true);
    EXPECT_EQ(Text(), B("one\r\n"));
    Select(5, 5); // empty last line
    Key('Y', true);
    EXPECT_EQ(Text(), B("one\r\n"));
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("one\r\nthree"));
}

TEST_F(Typing, CtrlArrowsMoveByWordsAndNeverPastTheEnd) {
    Load(B("one two\r\nthree"));
    Key(VK_RIGHT, true);
    EXPECT_EQ(Selection().cpMin, 4);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    EXPECT_EQ(Selection().cpMin, 9);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true); // past the last word: stays at the end
    EXPECT_EQ(Selection().cpMin, 14);
    Key(VK_LEFT, true, true);
    EXPECT_EQ(Selection().cpMin, 9);
    EXPECT_EQ(Selection().cpMax, 14);
    Select(2, 2);
    Key(VK_LEFT, true);
    EXPECT_EQ(Selection().cpMin, 0);
}

TEST_F(Typing, InsertFlipsOverwriteButCtrlAndShiftInsertAreShortcuts) {
    Load(B("abc"));
    Key(VK_INSERT);
    EXPECT_TRUE(OverwriteMode());
    Type('X');
    EXPECT_EQ(Text(), B("Xbc"));
    Select(0, 1);
    Key(VK_INSERT, true); // copy
    EXPECT_TRUE(OverwriteMode());
    Select(3, 3);
    Key(VK_INSERT, false, true); // paste
    EXPECT_TRUE(OverwriteMode());
    EXPECT_EQ(Text(), B("XbcX"));
    // At a line break the character is inserted; Undo takes it away again.
    Load(B("ab\r\ncd"));
    Select(2, 2);
    Type('Z');
    EXPECT_EQ(Text(), B("abZ\r\ncd"));
    Type('W');
    EXPECT_EQ(Text(), B("abZW\r\ncd"));
    Select(6, 6);
    Type('Q');
    EXPECT_EQ(Text(), B("abZW\r\nQd"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("abZW\r\ncd"));
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab\r\ncd"));
    Key(VK_INSERT);
    EXPECT_FALSE(OverwriteMode());
}

TEST_F(Typing, WordWrapToggleKeepsTextSelectionAndModifiedFlag) {
    Load(B("some text\r\nsecond \xC9\xCD line"));
    SendMessageA(EditorWindow(), EM_SETMODIFY, TRUE, 0);
    Select(3, 12);
    HWND before = EditorWindow();
    Command(IDM_WORD_WRAP);
    EXPECT_NE(EditorWindow(), before);
    EXPECT_TRUE(WordWrapOn());
    EXPECT_EQ(GetWindowLongPtrA(EditorWindow(), GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(ReadSettingDword("WW", -1), 0);
    EXPECT_EQ(harness::MenuItemState(IDM_WORD_WRAP) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    Command(IDM_WORD_WRAP);
    EXPECT_FALSE(WordWrapOn());
    EXPECT_EQ(ReadSettingDword("WW", -1), static_cast<int32_t>(kWrapOffStyle));
    EXPECT_EQ(Text(), B("some text\r\nsecond \xC9\xCD line"));
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Selection().cpMax, 12);
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(OverwriteMode());
    // The typed characters still go through the subclass.
    Select(0, 0);
    Type(0xC0);
    EXPECT_EQ(Text()[0], 0xC0);
}

TEST_F(Typing, ArrowsAndSelectionsNeverLeaveTheCaretInsideALineBreak) {
    const Bytes text = B("ab\r\ncd\r\nef");
    Load(text);
    // Left after a selection that ends at a line start.
    Key(VK_DOWN, false, true);
    Key(VK_LEFT);
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 2);
    Type('x');
    Key(VK_DELETE);
    EXPECT_EQ(Text(), B("abxcd\r\nef"));
    Command(4);
    Command(4);
    EXPECT_EQ(Text(), text);
    // Right and Left cross a line break in one press, with Shift too.
    Select(2, 2);
    Key(VK_RIGHT);
    EXPECT_EQ(Selection().cpMin, 4);
    Key(VK_LEFT);
    EXPECT_EQ(Selection().cpMin, 2);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 4);
    Key(VK_RIGHT, false, true);
    EXPECT_EQ(Selection().cpMax, 5);
    Select(4, 4);
    Key(VK_LEFT, false, true);
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(Selection().cpMax, 4);
    // Ctrl+Shift+Down, Left, Delete: exactly the deleted bytes come back.
    Select(0, 0);
    Key(VK_DOWN, true, true);
    Key(VK_LEFT);
    Key(VK_DELETE);
    Command(4);
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(Typing, ParagraphSectionAndBulletGoInAsTheirBytesInEveryDisplay) {
    // 1251 ¶ § • are 866 (and KOI8-R) 14, 15 and 07: control characters
    // that the control would not take as typed characters.
    const char* typed = "\xB6\xA7\x95";
    for (int display : {17, 18}) {
        Load(B("a\r\nb"));
        Command(display);
        Select(1, 1);
        Type(typed);
        EXPECT_EQ(Text(), B("a\x14\x15\x07\r\nb")) << display;
        Command(4);
        Command(4);
        Command(4);
        EXPECT_EQ(Text(), B("a\r\nb")) << display;
        Command(4); // nothing more was recorded
        EXPECT_EQ(Text(), B("a\r\nb")) << display;
    }
    Command(16);
    Select(0, 0);
    Type(typed);
    EXPECT_EQ(Text(), B("\xB6\xA7\x95" "a\r\nb"));
}

TEST_F(Typing, OverwriteUndoBringsBackWhatWasThereLineBreaksAndZeroBytesIncluded) {
    const Bytes text = B("a\0b\r\nc", 6);
    Load(text);
    Command(17); // OEM, where the 1251 small a becomes A0
    Key(VK_INSERT);
    ASSERT_TRUE(OverwriteMode());
    Select(1, 1);
    Type(0xE0); // over the zero byte
    Type(0xE0); // over b
    Type(0xE0); // before the CR: inserted
    Type(0xE0);
    EXPECT_EQ(Text(), B("a\xA0\xA0\xA0\xA0\r\nc"));
    for (int i = 0; i < 4; ++i) Command(4);
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(UndoHistoryEmpty());
    Key(VK_INSERT);
}

TEST_F(Typing, CtrlBackspaceSwallowsItsDelCharacter) {
    Load(B("one two"));
    Select(7, 7);
    // Windows follows Ctrl+Backspace's key-down with the character 0x7F
    // (Wine sends none).
    {
        harness::HeldKeys held{VK_CONTROL};
        SendMessageA(EditorWindow(), WM_KEYDOWN, VK_BACK, 1);
        Type(0x7F);
    }
    EXPECT_EQ(Text(), B("one "));
    Command(4);
    EXPECT_EQ(Text(), B("one two"));
    EXPECT_TRUE(UndoHistoryEmpty());
    // A DEL typed on its own (Alt+0127) is a byte like any other: inserted
    // and taken back by Undo.
    Select(3, 3);
    Type(0x7F);
    EXPECT_EQ(Text(), B("one\x7F two"));
    Command(4);
    EXPECT_EQ(Text(), B("one two"));
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(Typing, AltShortcutsLeaveTheMenuBarAlone) {
    harness::CommandRecorder recorder;
    recorder.passOn = false; // a menu loop would wait for the user
    using harness::kAltContext;
    using harness::kKeyReleased;
    auto post = [](UINT message, UINT key, LPARAM flags) { harness::PostKeyMessage(EditorWindow(), message, key, flags); };
    // Alt down, F2 down and up, Alt up; then the same releasing Alt first.
    for (bool altFirst : {false, true}) {
        harness::HeldKeys held{VK_MENU};
        post(WM_SYSKEYDOWN, VK_MENU, kAltContext);
        post(WM_SYSKEYDOWN, VK_F2, kAltContext);
        if (altFirst) {
            held.Hold(VK_MENU, false);
            post(WM_KEYUP, VK_MENU, kKeyReleased);
            post(WM_KEYUP, VK_F2, kKeyReleased);
        } else {
            post(WM_SYSKEYUP, VK_F2, kAltContext | kKeyReleased);
            held.Hold(VK_MENU, false);
            post(WM_SYSKEYUP, VK_MENU, kKeyReleased);
        }
    }
    EXPECT_EQ(std::count(recorder.commands.begin(), recorder.commands.end(), 18), 2);
    EXPECT_EQ(std::count(recorder.sysCommands.begin(), recorder.sysCommands.end(), SC_KEYMENU), 0);
    // Alt pressed and released alone still arms the menu bar.
    {
        harness::HeldKeys held{VK_MENU};
        post(WM_SYSKEYDOWN, VK_MENU, kAltContext);
    }
    post(WM_SYSKEYUP, VK_MENU, kKeyReleased);
    EXPECT_EQ(std::count(recorder.sysCommands.begin(), recorder.sysCommands.end(), SC_KEYMENU), 1);
}

} // namespace
