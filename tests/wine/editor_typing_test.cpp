// Typing, line breaks, deleting and the word movement of the editor control.
#include "tests/wine/editor_fixture.h"

#include "app/settings.h"
#include "codepage/display_map.h"

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
    SendMessageA(g_editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(shown));
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
    ASSERT_TRUE(g_overwriteMode);
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
    EXPECT_TRUE(g_overwriteMode);
    Type('X');
    EXPECT_EQ(Text(), B("Xbc"));
    Select(0, 1);
    Key(VK_INSERT, true); // copy
    EXPECT_TRUE(g_overwriteMode);
    Select(3, 3);
    Key(VK_INSERT, false, true); // paste
    EXPECT_TRUE(g_overwriteMode);
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
    EXPECT_FALSE(g_overwriteMode);
}

TEST_F(Typing, WordWrapToggleKeepsTextSelectionAndModifiedFlag) {
    Load(B("some text\r\nsecond \xC9\xCD line"));
    SendMessageA(g_editor, EM_SETMODIFY, TRUE, 0);
    Select(3, 12);
    HWND before = g_editor;
    Command(IDM_WORD_WRAP);
    EXPECT_NE(g_editor, before);
    EXPECT_EQ(g_wrapStyle, 0u);
    EXPECT_EQ(GetWindowLongPtrA(g_editor, GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_EQ(ReadSettingDword("WW", -1), 0);
    EXPECT_EQ(harness::MenuItemState(IDM_WORD_WRAP) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    Command(IDM_WORD_WRAP);
    EXPECT_EQ(g_wrapStyle, kWrapOffStyle);
    EXPECT_EQ(ReadSettingDword("WW", -1), static_cast<int32_t>(kWrapOffStyle));
    EXPECT_EQ(Text(), B("some text\r\nsecond \xC9\xCD line"));
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Selection().cpMax, 12);
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(g_overwriteMode);
    // The typed characters still go through the subclass.
    Select(0, 0);
    Type(0xC0);
    EXPECT_EQ(Text()[0], 0xC0);
}

} // namespace
