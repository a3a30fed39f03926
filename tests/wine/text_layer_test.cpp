// The text layer on a bare rich-edit control: every byte value, in every
// display code page, through every operation, at the start, middle and end.
#include "editor/control.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/whole_text.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <string>

namespace {

using Bytes = std::basic_string<unsigned char>;

Bytes AllByteValues() {
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<unsigned char>(b));
    // Line ends of every shape: LF CR, lone CR, lone LF, CR LF, NUL beside them.
    const unsigned char breaks[] = {'\n', '\r', 'x', '\r', 'y', '\n', 'z', '\r', '\n', 0, '\r', 0, '\n'};
    all.append(breaks, sizeof breaks);
    return all;
}

Bytes Str(const char* s) { return Bytes(reinterpret_cast<const unsigned char*>(s)); }

class TextLayer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadLibraryA("riched32"));
        editor_ = CreateWindowExA(0, "RICHEDIT", "", WS_OVERLAPPEDWINDOW | ES_MULTILINE | WS_VSCROLL, 0, 0, 400,
                                  300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(editor_);
        SendMessageA(editor_, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
        SetDecodingForNewText(0);
        // A control of its own, with no owner to make fresh ones.
        g_editorState.control = editor_;
    }
    void TearDown() override {
        DestroyWindow(editor_);
        g_editorState.control = nullptr;
        SetDecodingForNewText(0);
    }

    void Load(const Bytes& text) { StreamBytesIn(editor_, SF_TEXT, text.data(), static_cast<int32_t>(text.size())); }
    Bytes Whole() {
        Bytes out(TextLength(editor_) + 2, 0);
        out.resize(StreamBytesOut(editor_, false, out.data(), static_cast<int32_t>(out.size())));
        return out;
    }
    Bytes Selected() {
        CHARRANGE s = GetSelection(editor_);
        Bytes out(s.cpMax - s.cpMin + 2, 0);
        out.resize(StreamBytesOut(editor_, true, out.data(), static_cast<int32_t>(out.size())));
        return out;
    }
    Bytes Range(int32_t a, int32_t b) {
        Bytes out(b - a + 1, 0);
        out.resize(GetRangeBytes(editor_, a, b, out.data(), static_cast<int32_t>(out.size())));
        return out;
    }

    HWND editor_ = nullptr;
};

TEST_F(TextLayer, EveryByteValueRoundTripsInEveryDisplayCodePage) {
    const Bytes all = AllByteValues();
    const int32_t n = static_cast<int32_t>(all.size());
    for (int cp = 0; cp < 3; ++cp) {
        SCOPED_TRACE(cp);
        SetDecodingForNewText(cp);
        Load(all);
        EXPECT_EQ(TextLength(editor_), n);
        EXPECT_EQ(Whole(), all);
        // Ranges at the start, the middle (across line ends) and the end.
        EXPECT_EQ(Range(0, 20), all.substr(0, 20));
        EXPECT_EQ(Range(9, 15), all.substr(9, 6)); // LF, VT, FF, CR, ...
        EXPECT_EQ(Range(100, 200), all.substr(100, 100));
        EXPECT_EQ(Range(n - 13, n), all.substr(n - 13));
        EXPECT_EQ(Range(n - 5, n + 50), all.substr(n - 5)); // clipped to the text
        for (int32_t a = 0; a < n; a += 37) EXPECT_EQ(Range(a, a + 1), all.substr(a, 1)) << a;
        // The selection streamed out.
        SetSelection(editor_, 0, -1);
        // The control's select-all reaches past its hidden final line end.
        CHARRANGE s = GetSelection(editor_);
        EXPECT_EQ(s.cpMax, n);
        EXPECT_EQ(Selected(), all);
        SetSelection(editor_, 128, 256);
        EXPECT_EQ(Selected(), all.substr(128, 128));
    }
}

TEST_F(TextLayer, InsertingEveryByteAtTheStartMiddleAndEnd) {
    const Bytes all = AllByteValues();
    const Bytes base = Str("head|tail");
    for (int cp = 0; cp < 3; ++cp) {
        for (int32_t at : {0, 4, 9}) {
            SCOPED_TRACE(testing::Message() << "cp " << cp << " at " << at);
            SetDecodingForNewText(cp);
            // By selection stream.
            Load(base);
            SetSelection(editor_, at, at);
            StreamBytesIn(editor_, SF_TEXT | SFF_SELECTION, all.data(), static_cast<int32_t>(all.size()));
            Bytes expected = base;
            expected.insert(at, all);
            EXPECT_EQ(Whole(), expected);
            // By replacement of the selection (one byte replaced where there is one).
            Load(base);
            const int32_t end = at < 9 ? at + 1 : at;
            SetSelection(editor_, at, end);
            ReplaceSelectionBytes(all.data(), static_cast<int32_t>(all.size()), false);
            expected = base;
            expected.replace(at, end - at, all);
            EXPECT_EQ(Whole(), expected);
            CHARRANGE caret = GetSelection(editor_);
            EXPECT_EQ(caret.cpMin, at + static_cast<int32_t>(all.size()));
            EXPECT_EQ(caret.cpMax, caret.cpMin);
        }
    }
}

TEST_F(TextLayer, ShortReplacementsKeepEveryByte) {
    for (int cp = 0; cp < 3; ++cp) {
        SetDecodingForNewText(cp);
        for (int b = 0; b < 256; ++b) {
            Load(Str("ab"));
            SetSelection(editor_, 1, 1);
            const unsigned char one = static_cast<unsigned char>(b);
            ReplaceSelectionBytes(&one, 1, true);
            Bytes expected = Str("ab");
            expected.insert(1, 1, one);
            ASSERT_EQ(Whole(), expected) << "cp " << cp << " byte " << b;
        }
    }
    // CR LF and an empty replacement.
    Load(Str("abc"));
    SetSelection(editor_, 1, 2);
    ReplaceSelectionBytes(Str("\r\n").data(), 2, false);
    EXPECT_EQ(Whole(), Str("a\r\nc"));
    EXPECT_EQ(TextLength(editor_), 4);
    SetSelection(editor_, 0, 1);
    ReplaceSelectionBytes(nullptr, 0, false);
    EXPECT_EQ(Whole(), Str("\r\nc"));
    EXPECT_NE(SendMessageA(editor_, EM_GETMODIFY, 0, 0), 0);
}

TEST_F(TextLayer, StreamingOutNeverWritesPastTheBuffer) {
    Load(Str("0123456789"));
    unsigned char buffer[8];
    memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(StreamBytesOut(editor_, false, buffer, 5), 5);
    EXPECT_EQ(Bytes(buffer, 5), Str("01234"));
    EXPECT_EQ(buffer[5], 0xEE);
    memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(GetRangeBytes(editor_, 2, 9, buffer, 3), 3);
    EXPECT_EQ(Bytes(buffer, 3), Str("234"));
    EXPECT_EQ(buffer[3], 0xEE);
    EXPECT_EQ(StreamBytesOut(editor_, false, nullptr, 10), 0);
}

TEST_F(TextLayer, RedecodingKeepsBytesSelectionAndModifiedFlag) {
    const Bytes all = AllByteValues();
    Load(all);
    SendMessageA(editor_, EM_SETMODIFY, FALSE, 0);
    SetSelection(editor_, 40, 140);
    ASSERT_TRUE(RedecodeText(1));
    EXPECT_EQ(DisplayCodePage(), 1);
    EXPECT_EQ(Whole(), all);
    CHARRANGE s = GetSelection(editor_);
    EXPECT_EQ(s.cpMin, 40);
    EXPECT_EQ(s.cpMax, 140);
    EXPECT_EQ(SendMessageA(editor_, EM_GETMODIFY, 0, 0), 0);
    SendMessageA(editor_, EM_SETMODIFY, TRUE, 0);
    ASSERT_TRUE(RedecodeText(2));
    ASSERT_TRUE(RedecodeText(0));
    EXPECT_EQ(Whole(), all);
    EXPECT_NE(SendMessageA(editor_, EM_GETMODIFY, 0, 0), 0);
}

TEST_F(TextLayer, TheControlShowsTheCharacterOfTheDisplayCodePage) {
    // 866 0xC9 is a box corner; 0xE1 in KOI8-R is the capital А.
    SetDecodingForNewText(1);
    Load(Str("\xC9\xCD\xBB"));
    wchar_t shown[8] = {};
    GETTEXTEX get{sizeof shown, GT_DEFAULT, 1200, nullptr, nullptr};
    SendMessageA(editor_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[0], 0x2554);
    EXPECT_EQ(shown[1], 0x2550);
    EXPECT_EQ(shown[2], 0x2557);
    ASSERT_TRUE(RedecodeText(2));
    SendMessageA(editor_, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(shown));
    EXPECT_EQ(shown[0], 0x0438); // the same byte is и in KOI8-R
}

TEST_F(TextLayer, TextWithoutAByteInTheDisplayCodePageBecomesQuestionMarks) {
    // RTF with a Greek alpha and a Cyrillic letter given as Unicode.
    const Bytes rtf = Str("{\\rtf1\\ansi a\\u945?b\\u1046?c}");
    SetDecodingForNewText(0);
    StreamBytesIn(editor_, SF_RTF, rtf.data(), static_cast<int32_t>(rtf.size()));
    Bytes text = Whole();
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    EXPECT_EQ(text, Str("a?b\xC6" "c"));
}

TEST_F(TextLayer, FindFoldsCyrillicCaseOfTheDisplayCodePage) {
    SetDecodingForNewText(1);
    // "abc Привет, ПРИВЕТ" in 866.
    Load(Str("abc \x8F\xE0\xA8\xA2\xA5\xE2, \x8F\x90\x88\x82\x85\x92"));
    const Bytes needle = Str("\xAF\x90\x88"); // "пРИ"
    EXPECT_EQ(FindBytes(editor_, 0, -1, needle.data(), 3, 0), 4);
    EXPECT_EQ(FindBytes(editor_, 5, -1, needle.data(), 3, 0), 12);
    EXPECT_EQ(FindBytes(editor_, 0, -1, needle.data(), 3, FR_MATCHCASE), -1);
    EXPECT_EQ(FindBytes(editor_, 0, 14, needle.data(), 3, 0), 4);
    EXPECT_EQ(FindBytes(editor_, 5, 14, needle.data(), 3, 0), -1);
    EXPECT_EQ(FindBytes(editor_, 0, -1, Str("\x8F\xE0\xA8").data(), 3, FR_WHOLEWORD), -1);
    EXPECT_EQ(FindBytes(editor_, 0, -1, Str("\x8F\xE0\xA8\xA2\xA5\xE2").data(), 6, FR_WHOLEWORD), 4);
    EXPECT_EQ(FindBytes(editor_, 3, 2, needle.data(), 3, 0), -1);
}

TEST_F(TextLayer, WordBreaksFollowTheWordRuleAcrossLineEnds) {
    SetDecodingForNewText(0);
    Load(Str("one two\r\n\xEF\xF0\xE8\xE2\xE5\xF2 end"));
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 0), 4);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 4), 7);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 7), 9);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 9), 16);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 16), 19);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 19), 19);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 19), 16);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 16), 9);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 9), 7);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 2), 0);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 0), 0);
    // A word longer than the piece read at a time.
    Bytes longWord(5000, 'w');
    Load(Str("a ") + longWord + Str(" b"));
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDRIGHT, 3), 5003);
    EXPECT_EQ(FindWordBreak(editor_, WB_MOVEWORDLEFT, 5001), 2);
}

TEST_F(TextLayer, ReplacingTheWholeTextOfAControlWithoutAnOwnerKeepsTheControl) {
    const Bytes all = AllByteValues();
    Load(Str("old text\r\nold line"));
    SetSelection(editor_, 3, 5);
    EXPECT_TRUE(FillWholeText(all.data(), static_cast<int32_t>(all.size())));
    EXPECT_EQ(EditorWindow(), editor_);
    EXPECT_EQ(Whole(), all);
    CHARRANGE s = GetSelection(editor_);
    EXPECT_EQ(s.cpMin, 0);
    EXPECT_EQ(s.cpMax, 0);
    EXPECT_EQ(SendMessageA(editor_, EM_CANUNDO, 0, 0), 0);
    EXPECT_TRUE(FillWholeText(nullptr, 0));
    EXPECT_EQ(EditorWindow(), editor_);
    EXPECT_EQ(TextLength(editor_), 0);
}

} // namespace

namespace {

TEST_F(TextLayer, ReadingBySelectingGivesTheRangesBytesWhereverItsEndsFall) {
    // Every range of a text with every shape of line end: the bytes are those
    // a text range reads, also where an end falls inside a CR LF (the control
    // puts a selection's end before the CR); only a range it cannot place
    // exactly may be refused, never read wrong.
    const Bytes text = Str("ab\r\ncd\r\r\ne\n\rf\n\r\ng\r\n\r\nh\r\r\r\ni\r\n\nj\n\r\r\nk\r\r");
    for (int cp = 0; cp < 3; ++cp) {
        SetDecodingForNewText(cp);
        SendMessageA(editor_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        Load(text);
        const auto n = static_cast<int32_t>(text.size());
        int refused = 0;
        for (int32_t first = 0; first < n; ++first) {
            for (int32_t last = first + 1; last <= n; ++last) {
                Bytes read(last - first, 0xEE);
                const int32_t got = ReadRangeBySelecting(editor_, first, last, read.data());
                if (got < 0) {
                    ++refused;

                    continue;
                }
                ASSERT_EQ(got, last - first) << first << ".." << last;
                EXPECT_EQ(read, text.substr(first, last - first)) << cp << ": " << first << ".." << last;
            }
        }
        EXPECT_EQ(refused, 0) << cp;
        EXPECT_EQ(Whole(), text);
    }
}

TEST_F(TextLayer, ReadingBySelectingKeepsTheView) {
    Bytes text;
    for (int i = 0; i < 400; ++i) text += Str("a line of the text to scroll through\r\n");
    Load(text);
    SetSelection(editor_, 200, 200);
    SendMessageA(editor_, WM_VSCROLL, SB_TOP, 0);
    POINT before{};
    SendMessageA(editor_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
    // The range's end lies far below the lines shown.
    Bytes read(9000, 0);
    ASSERT_EQ(ReadRangeBySelecting(editor_, 100, 9100, read.data()), 9000);
    EXPECT_EQ(read, text.substr(100, 9000));
    POINT after{};
    SendMessageA(editor_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ(after.y, before.y);
    const CHARRANGE selected = GetSelection(editor_);
    EXPECT_EQ(selected.cpMin, 100);
    EXPECT_EQ(selected.cpMax, 9100);
}

} // namespace
