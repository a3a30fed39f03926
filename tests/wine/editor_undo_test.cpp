// The undo history and the clipboard commands, through keys and commands.
#include "tests/wine/editor_fixture.h"

#include "base/settings.h"

namespace {

using UndoHistory = EditorTest;

TEST_F(UndoHistory, TypingRunIsTakenBackOneKeystrokeAtATime) {
    Load(B("start"));
    Select(5, 5);
    Type("abc");
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("startab"));
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("start"));
    EXPECT_TRUE(UndoHistoryEmpty());
    Command(IDM_UNDO); // nothing left: nothing happens
    EXPECT_EQ(Text(), B("start"));
}

TEST_F(UndoHistory, TextReplacedByAnotherProgramIsNeverUndoneIntoByTheOldHistory) {
    Load(B("mine"));
    Select(4, 4);
    Type(" and more");
    // Another program sets the control's text behind the editor's back.
    SendMessageA(EditorWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("чужой text"));
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_TRUE(Modified());
    Key('Z', true);
    EXPECT_EQ(Text(), B("чужой text"));
    Select(0, 0);
    Type("x"); // the history goes on from the foreign text
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("чужой text"));
}

TEST_F(UndoHistory, MovingTheCaretStartsANewRecord) {
    Type("ab");
    Select(0, 0);
    Type("c");
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab"));
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B(""));
}

TEST_F(UndoHistory, EnterTwiceIsOneRecordUndoneOneBreakAtATime) {
    Type("x");
    Key(VK_RETURN);
    Key(VK_RETURN);
    EXPECT_EQ(Text(), B("x\r\n\r\n"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("x\r\n"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("x"));
}

TEST_F(UndoHistory, BackspaceAndDeleteOfLineBreaksAndEndsComeBack) {
    Load(B("ab\r\ncd"));
    Select(4, 4);
    Key(VK_BACK);
    EXPECT_EQ(Text(), B("abcd"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab\r\ncd"));
    Select(1, 1);
    Key(VK_BACK); // the very first character
    EXPECT_EQ(Text(), B("b\r\ncd"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab\r\ncd"));
    Select(2, 2);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), B("abcd"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab\r\ncd"));
    // Delete at the end records nothing.
    ClearUndoHistory();
    Select(6, 6);
    Key(VK_DELETE);
    EXPECT_TRUE(UndoHistoryEmpty());
    // Backspace at the start neither.
    Select(0, 0);
    Key(VK_BACK);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(UndoHistory, SelectionDeletedByKeysAndCommandsComesBackWithItsBytes) {
    const Bytes text = B("a\0b\x98\xFF" "c", 6);
    Load(text);
    Select(1, 5);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), B("ac"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    Select(0, 3);
    Key(VK_BACK);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    Select(2, 4);
    Command(IDM_DELETE);
    EXPECT_EQ(Text(), B("a\0\xFF" "c", 4));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    // Delete with nothing selected still records an empty replacement.
    ClearUndoHistory();
    Select(1, 1);
    Command(IDM_DELETE);
    EXPECT_FALSE(UndoHistoryEmpty());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(UndoHistory, CtrlBackspaceAndCtrlDeleteTakeWholeWords) {
    Load(B("one two three"));
    Select(0, 0);
    Key(VK_BACK, true); // at the start: nothing
    EXPECT_EQ(Text(), B("one two three"));
    EXPECT_TRUE(UndoHistoryEmpty());
    Select(7, 7);
    Key(VK_BACK, true);
    EXPECT_EQ(Text(), B("one  three"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("one two three"));
    Select(4, 4);
    Key(VK_DELETE, true);
    EXPECT_EQ(Text(), B("one three"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("one two three"));
    Select(13, 13);
    Key(VK_DELETE, true); // at the end: nothing
    EXPECT_EQ(Text(), B("one two three"));
}

bool RedoGrey() { return (harness::MenuItemState(IDM_REDO) & MF_GRAYED) != 0; }

TEST_F(UndoHistory, RedoDoesAgainEveryStepUndoTookBackUntilTheNextChange) {
    // "Привет, мир" typed on, a line break, the whole text to 866, words gone.
    const Bytes original = B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0");
    Load(original);
    EXPECT_TRUE(RedoGrey());
    Select(11, 11);
    Type(" \xE4\xE0");
    Key(VK_RETURN);
    Command(IDM_TO_OEM);
    Select(0, 8);
    Key(VK_DELETE);
    Select(3, 3);
    Key(VK_BACK);
    Key('Y', true);
    Type("\xA4");
    const Bytes before = Text();
    const int shown = ::DisplayCodePage();
    ASSERT_EQ(shown, 1);
    int steps = 0;
    for (; !UndoHistoryEmpty() && steps < 100; ++steps) Command(IDM_UNDO);
    ASSERT_EQ(Text(), original);
    EXPECT_EQ(::DisplayCodePage(), 0);
    EXPECT_FALSE(RedoGrey());
    for (int i = 0; i < steps; ++i) Key('Z', true, true);
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(::DisplayCodePage(), shown);
    EXPECT_TRUE(RedoGrey());
    // What was redone is undone again, step for step.
    for (int i = 0; i < steps; ++i) Command(IDM_UNDO);
    EXPECT_EQ(Text(), original);
    EXPECT_TRUE(UndoHistoryEmpty());
    // A new change forgets what undo took back.
    Command(IDM_REDO);
    Command(IDM_REDO);
    const Bytes partly = Text();
    Select(0, 0);
    Type("x");
    EXPECT_TRUE(RedoGrey());
    Command(IDM_REDO); // nothing to redo
    EXPECT_EQ(Text(), B("x") + partly);
}

TEST_F(UndoHistory, ControlUndoWhenTheHistoryIsSwitchedOff) {
    // The setting is read at start-up.
    WriteSettingDword("NO", 1);
    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor());
    EXPECT_TRUE(ControlUndoSelected());
    Load(B("one two"));
    Select(7, 7);
    Type("x");
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_NE(SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("one two"));
    // Redo goes through the control too.
    EXPECT_FALSE(RedoGrey());
    Key('Z', true, true);
    EXPECT_EQ(Text(), B("one twox"));
    EXPECT_TRUE(RedoGrey());
    Select(4, 4);
    Key(VK_DELETE);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(UndoHistory, UndoSetsTheModifiedFlag) {
    Type("a");
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    Command(IDM_UNDO);
    EXPECT_TRUE(Modified());
}

using Clipboard = EditorTest;

Bytes ClipboardBytes(UINT format) {
    Bytes out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(format)) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        if (p) out = B(p);
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

std::wstring ClipboardUnicode() {
    std::wstring out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(h));
        if (p) out = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

TEST_F(Clipboard, CopyAndPasteInEachDisplayCodePage) {
    // ANSI: the bytes as CF_TEXT.
    Load(B("x\xC0\xE1y"));
    Select(1, 3);
    Command(IDM_COPY);
    EXPECT_EQ(ClipboardBytes(CF_TEXT), B("\xC0\xE1"));
    EXPECT_EQ(ClipboardUnicode(), std::wstring(L"\x0410\x0431"));
    // KOI8-R: 866 bytes as CF_OEMTEXT, the KOI8-R text as Unicode.
    Command(IDM_SHOW_KOI8);
    Select(1, 3); // KOI8-R 0xC0 ю, 0xE1 А
    Command(IDM_COPY);
    EXPECT_EQ(ClipboardBytes(CF_OEMTEXT), B("\xEE\x80"));
    EXPECT_EQ(ClipboardUnicode(), std::wstring(L"\x044E\x0410"));
    // Paste in KOI8-R converts the 866 bytes back.
    Select(4, 4);
    Command(IDM_PASTE);
    EXPECT_EQ(Text(), B("x\xC0\xE1y\xC0\xE1"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("x\xC0\xE1y"));
    // OEM: the bytes as they are.
    Command(IDM_SHOW_OEM);
    Select(0, 2);
    Command(IDM_COPY);
    EXPECT_EQ(ClipboardBytes(CF_OEMTEXT), B("x\xC0"));
    Select(4, 4);
    Command(IDM_PASTE);
    EXPECT_EQ(Text(), B("x\xC0\xE1yx\xC0"));
}

TEST_F(Clipboard, CutCopiesThenDeletesAndCopyWithoutSelectionDoesNothing) {
    Load(B("keep me"));
    Select(0, 4);
    Command(IDM_CUT);
    EXPECT_EQ(Text(), B(" me"));
    EXPECT_EQ(ClipboardBytes(CF_TEXT), B("keep"));
    Select(1, 1);
    Command(IDM_COPY); // nothing selected: clipboard unchanged
    EXPECT_EQ(ClipboardBytes(CF_TEXT), B("keep"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("keep me"));
    // Paste from a Unicode-only clipboard: the system supplies the bytes.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    wcscpy(static_cast<wchar_t*>(GlobalLock(h)), L"\x0416!");
    GlobalUnlock(h);
    SetClipboardData(CF_UNICODETEXT, h);
    CloseClipboard();
    Select(0, 0);
    Command(IDM_PASTE);
    EXPECT_EQ(Text(), B("\xC6!keep me"));
}

} // namespace
