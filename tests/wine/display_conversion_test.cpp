// The display code page, the HTML colouring and the conversions on the
// document, through the commands of the menus and the two-key shortcuts.
#include "tests/wine/editor_fixture.h"

#include <cstdlib>
#include <new>
#include <string>

#include "base/settings.h"
#include "codepage/conversion_commands.h"
#include "editor/editor.h"

// While set, every allocation of at least this many bytes fails as a full
// address space would: the big result of a conversion, not the harness's
// small strings.
static std::size_t g_failAllocationsFrom = 0;

// The library's operator delete frees with free(), so only new is replaced.
void* operator new(std::size_t n) {
    if (g_failAllocationsFrom && n >= g_failAllocationsFrom) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

namespace {

using DisplayCodePage = EditorTest;

Bytes AllBytes() {
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    return all;
}

UINT MenuCheck(int id) { return harness::MenuItemState(id) & MF_CHECKED; }

TEST_F(DisplayCodePage, SwitchingKeepsBytesSelectionScrollAndModifiedFlag) {
    Bytes text;
    for (int line = 0; line < 200; ++line) text += AllBytes() + B("\r\n");
    Load(text);
    Select(1000, 1300);
    SendMessageA(EditorWindow(), EM_LINESCROLL, 0, 40);
    const LRESULT top = SendMessageA(EditorWindow(), EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(top, 30);
    HKL layout = GetKeyboardLayout(0);
    for (int id : {17, 18, 16, 18, 17, 16}) {
        SCOPED_TRACE(id);
        Command(id);
        EXPECT_EQ(::DisplayCodePage(), id - 16);
        EXPECT_EQ(Text(), text);
        EXPECT_EQ(Selection().cpMin, 1000);
        EXPECT_EQ(Selection().cpMax, 1300);
        EXPECT_EQ(SendMessageA(EditorWindow(), EM_GETFIRSTVISIBLELINE, 0, 0), top);
        EXPECT_FALSE(Modified());
        EXPECT_EQ(GetKeyboardLayout(0), layout);
        EXPECT_EQ(MenuCheck(id), static_cast<UINT>(MF_CHECKED));
    }
}

// Where the control draws character i of the first line.
LONG XOf(int32_t i) {
    POINTL point{};
    SendMessageA(EditorWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), i);
    return point.x;
}

TEST_F(DisplayCodePage, EveryByteShowsWithAWidthAndHidesNoNeighbour) {
    // Seven blanks and a soft hyphen of 1251: the blanks keep their place.
    Load(B("       \xAD" "abc"));
    const LONG blank = XOf(1) - XOf(0);
    ASSERT_GT(blank, 0);
    EXPECT_EQ(XOf(7) - XOf(0), 7 * blank);
    EXPECT_GT(XOf(8), XOf(7));
    EXPECT_EQ(Text(), B("       \xAD" "abc"));
    // Copied, the byte is the soft hyphen it is in 1251 (not the character
    // that shows it), and pasted it comes back as the same byte.
    Select(0, 11);
    Command(IDM_COPY);
    std::wstring unicode;
    if (OpenClipboard(nullptr)) {
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* p = static_cast<const wchar_t*>(GlobalLock(h))) unicode = p;
            GlobalUnlock(h);
        }
        CloseClipboard();
    }
    EXPECT_EQ(unicode, std::wstring(L"       \x00AD" L"abc"));
    Select(11, 11);
    Command(IDM_PASTE);
    EXPECT_EQ(Text(), B("       \xAD" "abc" "       \xAD" "abc"));
    // Each byte from the blank up, between two letters, in each display code
    // page (DEL is a control character like those below the blank).
    Bytes line;
    for (int b = 0x20; b < 0x100; ++b)
        if (b != 0x7F) line += B("x") + Bytes(1, static_cast<unsigned char>(b));
    line += B("x");
    for (int id : {IDM_SHOW_ANSI, IDM_SHOW_OEM, IDM_SHOW_KOI8}) {
        Command(id);
        Load(line);
        for (int32_t i = 0; i + 1 < static_cast<int32_t>(line.size()); ++i) {
            if (XOf(i + 1) <= XOf(i))
                ADD_FAILURE() << "display " << id - IDM_SHOW_ANSI << ": byte 0x" << std::hex
                              << static_cast<int>(line[static_cast<size_t>(i | 1)]) << " hides or has no width";
        }
        EXPECT_EQ(Text(), line);
    }
}

TEST_F(DisplayCodePage, SwitchingEmptiesTheControlUndoButNotTheHistory) {
    UseControlUndo(true);
    Type("ab");
    EXPECT_NE(SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0), 0);
    Command(IDM_SHOW_OEM);
    EXPECT_EQ(SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0), 0);
    UseControlUndo(false);
    Type("c");
    Command(IDM_SHOW_ANSI);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab"));
}

TEST_F(DisplayCodePage, FontOfEachCodePageWithFixedPitchWhenNoFaceIsSet) {
    WriteSettingString("FontD", "DejaVu Sans Mono");
    WriteSettingDword("SizeD", 240);
    WriteSettingDword("EffD", 1);
    Type("x");
    Command(IDM_SHOW_OEM);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    Select(0, 1);
    SendMessageA(EditorWindow(), EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&format));
    EXPECT_STREQ(format.szFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(format.yHeight, 240);
    EXPECT_TRUE(format.dwEffects & CFE_BOLD);
    Command(IDM_SHOW_ANSI); // no face for W: the fixed-pitch family
    SendMessageA(EditorWindow(), EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&format));
    EXPECT_FALSE(format.dwEffects & CFE_BOLD);
    EXPECT_EQ(format.bPitchAndFamily & 0xF0, FF_MODERN);
}

TEST_F(DisplayCodePage, HtmlColouringPaintsEachTagFromItsLastOpeningBracket) {
    WriteSettingDword("Cl", RGB(0, 0, 0));
    WriteSettingDword("HTML", RGB(0, 0, 255));
    Load(B("a<b>c << d>e <f"));
    SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
    Select(2, 2);
    Command(IDM_HTML_REFRESH);
    auto colourAt = [](int32_t p) {
        CHARFORMATA format{};
        format.cbSize = sizeof format;
        Select(p, p + 1);
        SendMessageA(EditorWindow(), EM_GETCHARFORMAT, 1, reinterpret_cast<LPARAM>(&format));
        return format.crTextColor;
    };
    const COLORREF blue = RGB(0, 0, 255);
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(Selection().cpMin, 2); // (checked before colourAt moves it)
    EXPECT_FALSE(Modified());
    EXPECT_EQ(colourAt(0), black);
    EXPECT_EQ(colourAt(1), blue);
    EXPECT_EQ(colourAt(3), blue);
    EXPECT_EQ(colourAt(4), black);
    EXPECT_EQ(colourAt(6), black); // the first of two opening brackets
    EXPECT_EQ(colourAt(7), blue);
    EXPECT_EQ(colourAt(10), blue);
    EXPECT_EQ(colourAt(11), black);
    EXPECT_EQ(colourAt(13), black); // "<" without ">"
    EXPECT_TRUE(IsWindowVisible(EditorWindow()));
}

using Conversion = EditorTest;

TEST_F(Conversion, ToAnsiOnAnsiTextTakesTheRoundTripApproximations) {
    Load(B("\x88\xAB\x97\xC0"));
    Command(IDM_TO_ANSI);
    EXPECT_EQ(Text(), B("?<-\xC0"));
}

TEST_F(Conversion, WholeTextToOemMovesTheDisplayAndUndoesInOneStep) {
    Load(B("\xCF\xF0\xE8\r\n\xE2\xE5\xF2"));
    Select(2, 2);
    Command(IDM_TO_OEM);
    EXPECT_EQ(Text(), B("\x8F\xE0\xA8\r\n\xA2\xA5\xE2"));
    EXPECT_EQ(::DisplayCodePage(), 1);
    EXPECT_EQ(MenuCheck(IDM_SHOW_OEM), static_cast<UINT>(MF_CHECKED));
    EXPECT_TRUE(Modified());
    // The converted text is selected; with the caret put down, a second
    // whole-text conversion still makes no second snapshot.
    EXPECT_EQ(Selection().cpMax, 8);
    Select(0, 0);
    Command(IDM_TO_KOI8);
    EXPECT_EQ(::DisplayCodePage(), 2);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("\xCF\xF0\xE8\r\n\xE2\xE5\xF2"));
    EXPECT_EQ(::DisplayCodePage(), 0);
    EXPECT_EQ(MenuCheck(IDM_SHOW_ANSI), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(Conversion, SelectionConversionLeavesTheDisplayAndTheRest) {
    Load(B("\xC0\xC1\xC2\xC3"));
    Select(1, 3);
    Command(IDM_TO_OEM);
    EXPECT_EQ(Text(), B("\xC0\x81\x82\xC3"));
    EXPECT_EQ(::DisplayCodePage(), 0);
    EXPECT_EQ(Selection().cpMin, 1);
    EXPECT_EQ(Selection().cpMax, 3);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("\xC0\xC1\xC2\xC3"));
}

TEST_F(Conversion, FidoAndTranslit) {
    Load(B("\xCD\xF0\xE0"));
    Command(IDM_TO_FIDO);
    EXPECT_EQ(Text(), B("Hp\xA0"));
    EXPECT_EQ(::DisplayCodePage(), 1);
    Command(IDM_SHOW_ANSI);
    Load(B("\xD9\xF3\xEA\xE0 \xA8\xE6 \xDB\xFB"));
    Command(IDM_TRANSLIT);
    EXPECT_EQ(Text(), B("SHuka Ezh Iy"));
    EXPECT_EQ(::DisplayCodePage(), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("\xD9\xF3\xEA\xE0 \xA8\xE6 \xDB\xFB"));
}

TEST_F(Conversion, QuotedPrintableAndLineBreaks) {
    Load(B("=D8=E0 =d8 ==41=\r\n"));
    Command(IDM_QUOTED_PRINTABLE);
    EXPECT_EQ(Text(), B("\xD8\xE0 =d8 =A=\r\n"));
    Load(B("a\rb\nc\r\nd\r"));
    Command(IDM_LINE_BREAK);
    EXPECT_EQ(Text(), B("a\r\nb\nc\r\nd\r\n"));
}

TEST_F(Conversion, ParagraphFormattingExtendsTheSelectionToWholeLines) {
    WriteSettingDword("RI", 14);
    WriteSettingDword("FI", 4);
    WriteSettingDword("LI", 2);
    Load(B("first\r\none two three four five six\r\nlast"));
    Select(10, 12); // inside the second line
    Command(IDM_ALIGN_LEFT);
    EXPECT_EQ(Text(), B("first\r\n    one two\r\n  three four\r\n  five six\r\n\r\nlast"));
    EXPECT_EQ(Selection().cpMin, 7);
    EXPECT_EQ(Selection().cpMax, 7);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("first\r\none two three four five six\r\nlast"));
}

TEST_F(Conversion, RtfBecomesItsPlainTextWithTheWrapStateKept) {
    const bool wrap = WordWrapOn();
    Load(B("{\\rtf1\\ansi\\ansicpg1251 {\\b bold} \\'c0\\par next}"));
    Command(IDM_RTF_TO_ANSI);
    Bytes text = Text();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    EXPECT_EQ(text, B("bold \xC0\r\nnext"));
    EXPECT_EQ(WordWrapOn(), wrap);
    EXPECT_TRUE(IsWindowVisible(EditorWindow()));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("{\\rtf1\\ansi\\ansicpg1251 {\\b bold} \\'c0\\par next}"));
    // Text that is no RTF stays as it is.
    Load(B("plain {\\rtf"));
    Command(IDM_RTF_TO_ANSI);
    EXPECT_EQ(Text(), B("plain {\\rtf"));
}

// RTF paragraphs and line breaks, the last paragraph's included, all come
// out as CR LF; so do empty paragraphs, and the text of the last one when no
// \par ends it.
TEST_F(Conversion, RtfKeepsEveryParagraphAndLineBreak) {
    const struct {
        const char* rtf;
        const char* text;
    } cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0 first\\par second\\line third\\par\r\n"
         "\\pard last \\'e0\\par}",
         "first\r\nsecond\r\nthird\r\nlast \xE0\r\n"},
        {"{\\rtf1 a\\line\\line b\\par\\par c}", "a\r\n\r\nb\r\n\r\nc"},
        {"{\\rtf1 {\\b a}\\line}", "a\r\n"},
        {"{\\rtf1 \\\\line\\par}", "\\line\r\n"},
        {"{\\rtf1 x\\par}", "x\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rtf);
        Load(B(c.rtf));
        Command(IDM_RTF_TO_ANSI);
        EXPECT_EQ(Text(), B(c.text));
        EXPECT_TRUE(Modified());
        EXPECT_TRUE(IsWindowVisible(EditorWindow()));
        Command(IDM_UNDO);
        EXPECT_EQ(Text(), B(c.rtf));
    }
}

// With no memory for the text a conversion changes nothing and says so, as
// the other whole-text commands do; word wrap too. The heap the program's
// buffers come from is made too small for the text while the command runs,
// and given back before the message is answered.
TEST_F(Conversion, NoMemoryForTheTextIsReportedAndNothingChanges) {
    const Bytes text = Bytes(256 * 1024, '\xE0') + B("\r\nend");
    Load(text);
    Select(3, 3);
    const bool wrap = WordWrapOn();
    char* expected = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_NOT_ENOUGH_MEMORY, 0,
                   reinterpret_cast<char*>(&expected), 0, nullptr);
    ASSERT_TRUE(expected);
    const std::string message = expected;
    LocalFree(expected);
    harness::TakeSeenDialogs();
    for (int id : {IDM_TO_OEM, IDM_TRANSLIT, IDM_RTF_TO_ANSI, IDM_JUSTIFY, IDM_WORD_WRAP}) {
        SCOPED_TRACE(id);
        HANDLE small = HeapCreate(0, 0, 64 * 1024);
        ASSERT_TRUE(small);
        const HANDLE programHeap = g_shell.heap;
        harness::AnswerNextDialog([&](HWND box) {
            g_shell.heap = programHeap;
            harness::PressButton(IDOK)(box);
        });
        g_shell.heap = small;
        Command(id);
        g_shell.heap = programHeap;
        HeapDestroy(small);
        const auto seen = harness::TakeSeenDialogs();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].caption, "LORK2");
        EXPECT_NE(seen[0].text.find(message.substr(0, message.find_first_of("\r\n"))), std::string::npos)
            << seen[0].text;
        EXPECT_EQ(Text(), text);
        EXPECT_EQ(Selection().cpMin, 3);
        EXPECT_EQ(Selection().cpMax, 3);
        EXPECT_FALSE(Modified());
        EXPECT_EQ(::DisplayCodePage(), 0);
        EXPECT_EQ(WordWrapOn(), wrap);
        EXPECT_TRUE(UndoHistoryEmpty());
    }
}

// An allocation that fails inside a conversion (the transliteration's
// result, twice the text) ends in the program's memory message, with the
// document, the selection and the view as they were; the program goes on.
TEST_F(Conversion, AFailedAllocationInsideAConversionLeavesTheDocument) {
    const Bytes text = Bytes(256 * 1024, '\xE0') + B("\r\nend");
    Load(text);
    Select(3, 3);
    harness::TakeSeenDialogs();
    harness::AnswerNextDialog(harness::PressButton(IDOK));
    g_failAllocationsFrom = 256 * 1024;
    Command(IDM_TRANSLIT);
    g_failAllocationsFrom = 0;
    const auto seen = harness::TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Selection().cpMax, 3);
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());
    Command(IDM_TRANSLIT); // with memory again, the command works
    EXPECT_NE(Text(), text);
}

TEST_F(Conversion, EmptyDocumentDoesNothing) {
    for (int id : {19, 29, 30, 33, 35, 36}) Command(id);
    EXPECT_EQ(Text(), B(""));
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(Conversion, TwoKeyCommandsConvertOrSwitchAndAFreshCtrlForgets) {
    Load(B("\xA0\xA1")); // 866 а б
    Command(IDM_TWO_KEY_OEM);        // Ctrl+D
    Command(IDM_TWO_KEY_ANSI);        // Ctrl+W: 866 -> 1251 whatever the display
    EXPECT_EQ(Text(), B("\xE0\xE1"));
    EXPECT_EQ(::DisplayCodePage(), 0);
    Command(IDM_TWO_KEY_KOI8);
    Command(IDM_TWO_KEY_KOI8); // the same twice: only the display changes
    EXPECT_EQ(Text(), B("\xE0\xE1"));
    EXPECT_EQ(::DisplayCodePage(), 2);
    Command(IDM_TWO_KEY_OEM);
    Key(VK_CONTROL); // a fresh Ctrl press
    EXPECT_EQ(g_pendingSourceCodePage, -1);
    Command(IDM_TWO_KEY_ANSI);
    EXPECT_EQ(g_pendingSourceCodePage, 0);
    EXPECT_EQ(::DisplayCodePage(), 2);
    // Ctrl held down repeats its key-down: that is no fresh press.
    Key(VK_CONTROL);
    Command(101);
    SendMessageA(EditorWindow(), WM_KEYDOWN, VK_CONTROL, 1 | (1L << 30));
    EXPECT_EQ(g_pendingSourceCodePage, 1);
}

// The whole text is replaced in a fresh control: it must stand where the old
// one stood and behave as the editor in every way a user can see.
void ExpectTheEditorInPlace(const RECT& where) {
    ASSERT_TRUE(IsWindow(EditorWindow()));
    EXPECT_EQ(GetParent(EditorWindow()), g_shell.mainWindow);
    EXPECT_TRUE(IsWindowVisible(EditorWindow()));
    EXPECT_EQ(GetFocus(), EditorWindow());
    RECT now;
    GetWindowRect(EditorWindow(), &now);
    EXPECT_EQ(now.left, where.left);
    EXPECT_EQ(now.top, where.top);
    EXPECT_EQ(now.right, where.right);
    EXPECT_EQ(now.bottom, where.bottom);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(EditorWindow(), GWLP_WNDPROC)), EditorWindowProc);
}

TEST_F(DisplayCodePage, SwitchingALoadedEditorKeepsTheEditorTypingAndEveryByte) {
    Bytes text;
    for (int line = 0; line < 50; ++line) text += AllBytes() + B("\r\n");
    Load(text);
    RECT where;
    GetWindowRect(EditorWindow(), &where);
    SetFocus(EditorWindow());
    Select(300, 300);
    Command(IDM_SHOW_OEM);
    ExpectTheEditorInPlace(where);
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(Selection().cpMin, 300);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(SendMessageA(EditorWindow(), EM_CANUNDO, 0, 0), 0);
    // Typing still goes through the editor: 1251 а is 866 0xA0 here.
    Type("\xE0z");
    Bytes typed = text;
    typed.insert(300, B("\xA0z"));
    EXPECT_EQ(Text(), typed);
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    Command(IDM_SHOW_ANSI);
    ExpectTheEditorInPlace(where);
    EXPECT_EQ(Text(), text);
}

TEST_F(Conversion, WholeTextConversionAndItsUndoKeepEveryByteInAFreshControl) {
    Bytes text;
    for (int line = 0; line < 20; ++line) text += AllBytes() + B("\r\n");
    Load(text);
    RECT where;
    GetWindowRect(EditorWindow(), &where);
    SetFocus(EditorWindow());
    Select(5, 5);
    Command(IDM_TO_OEM);
    ExpectTheEditorInPlace(where);
    EXPECT_EQ(::DisplayCodePage(), 1);
    EXPECT_EQ(Text().size(), text.size());
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    ExpectTheEditorInPlace(where);
    EXPECT_EQ(Text(), text);
    EXPECT_EQ(::DisplayCodePage(), 0);
    EXPECT_EQ(MenuCheck(IDM_SHOW_ANSI), static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(Selection().cpMin, 5);
}

TEST_F(Conversion, AWholeSelectionReplacedAndTakenBack) {
    const Bytes text = B("\xE6\xF3\xEA\r\n\0x\r\n", 8); // жук, a NUL
    Load(text);
    Select(0, static_cast<int32_t>(text.size()));
    Command(IDM_TRANSLIT); // transliteration of the selection
    const Bytes translit = Text();
    EXPECT_EQ(translit.substr(0, 4), B("zhuk"));
    EXPECT_EQ(Selection().cpMin, 0);
    EXPECT_EQ(Selection().cpMax, static_cast<LONG>(translit.size()));
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), text);
    Type("q");
    EXPECT_EQ(Text()[text.size()], 'q');
}

} // namespace
