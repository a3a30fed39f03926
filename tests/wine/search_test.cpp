// Find and replace as a user drives them: the Find and Replace dialog filled
// in and confirmed, Find next, and the answers given to "Заменить?".
#include "tests/wine/editor_fixture.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/search/search_ids.h"
#include "search/search.h"

namespace {

// What the user does in the Find or Replace dialog before pressing `button`.
struct Filling {
    std::optional<std::string> text{}; // typed into the search field (1251)
    std::optional<std::string> hex{};  // "Hex:" switched on, typed into the hex field
    std::optional<std::string> replacement{};
    std::optional<std::string> hexReplacement{};
    std::optional<bool> wholeWord{};
    std::optional<bool> matchCase{};
    std::optional<bool> wholeText{};
    std::optional<bool> upward{};
    std::optional<bool> prompt{};
    int button = IDOK;
};

// What the dialog showed when it opened.
struct Opened {
    std::string caption;
    std::string field;              // the search field's text
    std::vector<std::string> list;  // the combo box's list
    bool replaceControlsVisible = false;
    bool prompt = false;
};

harness::DialogAnswer Fill(Filling f, Opened* opened = nullptr) {
    return [f, opened](HWND d) {
        if (opened) {
            char text[300];
            GetWindowTextA(d, text, sizeof text);
            opened->caption = text;
            GetDlgItemTextA(d, IDC_SEARCH_TEXT, text, sizeof text);
            opened->field = text;
            const LRESULT count = SendDlgItemMessageA(d, IDC_SEARCH_TEXT, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                SendDlgItemMessageA(d, IDC_SEARCH_TEXT, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                opened->list.push_back(text);
            }
            opened->replaceControlsVisible = IsWindowVisible(GetDlgItem(d, IDC_REPLACEMENT)) != FALSE;
            opened->prompt = IsDlgButtonChecked(d, IDC_PROMPT) == BST_CHECKED;
        }
        if (f.text) harness::TypeInto(GetDlgItem(d, IDC_SEARCH_TEXT), *f.text);
        if (f.replacement) harness::TypeInto(GetDlgItem(d, IDC_REPLACEMENT), *f.replacement);
        if (f.hex || f.hexReplacement) harness::SetCheck(d, IDC_HEX, true);
        if (f.hex) harness::TypeInto(GetDlgItem(d, IDC_HEX_SEARCH), *f.hex);
        if (f.hexReplacement) harness::TypeInto(GetDlgItem(d, IDC_HEX_REPLACEMENT), *f.hexReplacement);
        const std::pair<const std::optional<bool>*, int> boxes[] = {{&f.wholeWord, IDC_WHOLE_WORD},
                                                                    {&f.matchCase, IDC_MATCH_CASE},
                                                                    {&f.wholeText, IDC_WHOLE_TEXT},
                                                                    {&f.upward, IDC_UPWARD},
                                                                    {&f.prompt, IDC_PROMPT}};
        for (const auto& [value, id] : boxes)
            if (*value) harness::SetCheck(d, id, **value);
        harness::PressButton(f.button)(d);
        // A refused confirmation leaves the dialog open: cancel it then.
        if (IsWindow(d) && IsWindowVisible(d)) harness::PressButton(IDCANCEL)(d);
    };
}

class Search : public DialogTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        g_search = SearchState{}; // a new process starts with the initial state
        harness::TakeSeenDialogs();
    }
    static void Find(Filling f, Opened* opened = nullptr) {
        harness::AnswerNextDialog(Fill(std::move(f), opened));
        Command(IDM_FIND);
    }
    // The Replace dialog filled in, then the prompts answered in order.
    static void Replace(Filling f, const std::vector<int>& answers = {}, Opened* opened = nullptr) {
        harness::AnswerNextDialog(Fill(std::move(f), opened));
        Answer(answers);
        Command(IDM_REPLACE);
    }
    // The answers to the next prompts, in order.
    static void Answer(const std::vector<int>& buttons) {
        for (int b : buttons) harness::AnswerNextDialog(harness::PressButton(b));
    }
    static Bytes Selected() {
        const CHARRANGE r = Selection();
        Bytes out(r.cpMax - r.cpMin + 1, 0);
        out.resize(GetRangeBytes(EditorWindow(), r.cpMin, r.cpMax, out.data(), static_cast<int32_t>(out.size())));
        return out;
    }
    static void ExpectSelection(int32_t a, int32_t b) {
        const CHARRANGE r = Selection();
        EXPECT_EQ(r.cpMin, a);
        EXPECT_EQ(r.cpMax, b);
    }
    static int PromptsSeen() {
        int n = 0;
        for (const harness::SeenDialog& d : harness::TakeSeenDialogs()) n += d.caption == "Заменить?";
        return n;
    }
};

using FindDialog = Search;
using ReplaceDialog = Search;

TEST_F(FindDialog, CaretInsideOrAtAnOccurrence) {
    Load(B("abc abc abc"));
    Select(1, 1); // inside the first: the next one
    Find({.text = "abc"});
    ExpectSelection(4, 7);
    Select(4, 4); // at the start of one: that one
    Find({.text = "abc"});
    ExpectSelection(4, 7);
}

TEST_F(FindDialog, FindNextFollowsTheLastMatchOrACaretMovedForward) {
    Load(B("ab ab ab ab ab"));
    Find({.text = "ab"});
    ExpectSelection(0, 2);
    Select(0, 0); // moved back: still after the last match
    Command(IDM_FIND_NEXT);
    ExpectSelection(3, 5);
    Select(10, 10); // moved forward past it: from the caret
    Command(IDM_FIND_NEXT);
    ExpectSelection(12, 14);
}

TEST_F(FindDialog, WholeTextStartsAtTheStartAndIgnoresTheCaret) {
    Load(B("ab ab ab"));
    Select(8, 8);
    Find({.text = "ab", .wholeText = true});
    ExpectSelection(0, 2);
    Select(7, 7);
    Command(IDM_FIND_NEXT);
    ExpectSelection(3, 5);
}

TEST_F(FindDialog, UpwardFindsTheLastOccurrenceBelowAndNothingFromTheStart) {
    Load(B("aaaa ab ab"));
    Select(10, 10);
    Find({.text = "ab", .upward = true});
    ExpectSelection(8, 10);
    Command(IDM_FIND_NEXT);
    ExpectSelection(5, 7);
    // Overlapping occurrences of "aa" below a caret inside the run: the one
    // lying wholly before it.
    Select(3, 3);
    Find({.text = "aa"});
    ExpectSelection(1, 3);
    // From index 0 nothing is found; Find next then opens the dialog.
    Select(0, 0);
    Find({.text = "ab"});
    ExpectSelection(0, 0);
    EXPECT_EQ(g_search.position, -1);
    harness::AnswerNextDialog(harness::PressButton(IDCANCEL));
    Command(IDM_FIND_NEXT);
    EXPECT_EQ(harness::TakeSeenDialogs().back().caption, "Найти...");
}

TEST_F(FindDialog, AfterNothingFoundFindNextStartsAgainAtTheEnd) {
    Load(B("ab ab"));
    Find({.text = "ab", .wholeText = true});
    Command(IDM_FIND_NEXT);
    ExpectSelection(3, 5);
    harness::AnswerNextDialog(harness::PressButton(IDCANCEL)); // nothing more: the dialog
    Command(IDM_FIND_NEXT);
    EXPECT_EQ(g_search.position, -1);
    Command(IDM_FIND_NEXT); // again from the start of the text
    ExpectSelection(0, 2);
    Find({.text = "ab", .wholeText = true, .upward = true});
    ExpectSelection(3, 5);
    Command(IDM_FIND_NEXT);
    harness::AnswerNextDialog(harness::PressButton(IDCANCEL));
    Command(IDM_FIND_NEXT);
    Command(IDM_FIND_NEXT); // again from the end
    ExpectSelection(3, 5);
}

TEST_F(FindDialog, FindsAcrossThePiecesALargeTextIsReadIn) {
    // From the start the text is read in the pieces [0, 65536),
    // [65531, 327675), [327670, ...): occurrences lie across their ends.
    Bytes text(1200000, 'x');
    const int32_t at[] = {65533, 327672, 1199994};
    for (int32_t a : at) text.replace(a, 6, B("needle"));
    Load(text);
    Find({.text = "needle", .wholeText = true});
    ExpectSelection(at[0], at[0] + 6);
    Command(IDM_FIND_NEXT);
    ExpectSelection(at[1], at[1] + 6);
    Command(IDM_FIND_NEXT);
    ExpectSelection(at[2], at[2] + 6);
    Find({.text = "needle", .wholeText = true, .upward = true});
    ExpectSelection(at[2], at[2] + 6);
    Command(IDM_FIND_NEXT);
    ExpectSelection(at[1], at[1] + 6);
    Command(IDM_FIND_NEXT);
    ExpectSelection(at[0], at[0] + 6);
    // A word right at the start of the second piece: the byte before it, in
    // the first piece, decides whether it is a whole word.
    Bytes words(200000, 'x');
    words.replace(65531, 7, B("needle "));
    Load(words);
    Find({.text = "needle", .wholeWord = true, .wholeText = true, .upward = false});
    EXPECT_EQ(g_search.position, -1);
    words[65530] = ' ';
    Load(words);
    Find({.text = "needle"});
    ExpectSelection(65531, 65537);
}

TEST_F(FindDialog, NothingFoundLeavesTheSelectionAndTheViewAsTheyWere) {
    // The first piece of a search is read by selecting it; when nothing is
    // found the selection and the lines shown are those the user left.
    Bytes text;
    for (int i = 0; i < 3000; ++i) text += B("a line of the text to scroll through\r\n");
    Load(text);
    Select(60000, 60010);
    SendMessageA(EditorWindow(), WM_VSCROLL, SB_TOP, 0);
    POINT before{};
    SendMessageA(EditorWindow(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
    for (bool upward : {false, true}) {
        SCOPED_TRACE(upward);
        Find({.text = "needle", .upward = upward});
        EXPECT_EQ(g_search.position, -1);
        ExpectSelection(60000, 60010);
        POINT after{};
        SendMessageA(EditorWindow(), EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&after));
        EXPECT_EQ(after.y, before.y);
    }
    EXPECT_EQ(Text(), text);
}

TEST_F(FindDialog, UpwardFromALineEndFindsTheLineBreaksBeforeIt) {
    // The caret before a CR LF, and after the CR CR LF the control keeps as
    // one break: the bytes up to the caret are read whole, line ends too.
    // (The control selects no lone CR of a break: the match's position is
    // what tells.)
    Load(B("one\r\ntwo\r\r\nthree\r\n"));
    const std::pair<int32_t, const char*> finds[] = {{8, "0d"}, {16, "0d"}, {16, "0d0a"}, {11, "0d"}, {11, "0d0a"}};
    const int32_t expected[] = {3, 9, 9, 9, 9};
    for (size_t i = 0; i < 5; ++i) {
        Select(finds[i].first, finds[i].first);
        Find({.hex = finds[i].second, .upward = true});
        EXPECT_EQ(g_search.position, expected[i]) << i;
    }
    Select(16, 16);
    Find({.text = "two", .upward = true});
    ExpectSelection(5, 8);
    EXPECT_EQ(Text(), B("one\r\ntwo\r\r\nthree\r\n"));
}

TEST_F(FindDialog, TypedCapitalsFindSmallLettersInEachDisplayCodePage) {
    // "Ёлка, привет!" in 1251, 866 and KOI8-R.
    const Bytes shown[] = {B("\xA8\xEB\xEA\xE0, \xEF\xF0\xE8\xE2\xE5\xF2!"),
                           B("\xF0\xAB\xAA\xA0, \xAF\xE0\xA8\xA2\xA5\xE2!"),
                           B("\xB3\xCC\xCB\xC1, \xD0\xD2\xC9\xD7\xC5\xD4!")};
    for (int cp = 0; cp < 3; ++cp) {
        Command(IDM_SHOW_ANSI + cp);
        Load(shown[cp]);
        Find({.text = "ПРИВЕТ", .wholeWord = true, .matchCase = false, .wholeText = false});
        ExpectSelection(6, 12);
        Find({.text = "ёЛКА", .wholeText = true});
        ExpectSelection(0, 4);
        Find({.text = "ПРИВ", .wholeWord = true}); // part of a Cyrillic word
        EXPECT_EQ(g_search.position, -1) << cp;
        Find({.text = "ПРИВЕТ", .wholeWord = false, .matchCase = true});
        EXPECT_EQ(g_search.position, -1) << cp;
    }
}

TEST_F(FindDialog, HexBytesAreSearchedAsBytesOfTheDisplay) {
    Load(B("xAB A\x04\x02 \xC0"));
    Find({.hex = "41", .wholeText = true});
    ExpectSelection(1, 2);
    Find({.hex = "4142"});
    ExpectSelection(1, 3);
    Find({.hex = "41 42"}); // the pairs 41, " 4" and a lone 2
    ExpectSelection(4, 7);
    // Hex is not converted into the display code page: C0 is the byte C0.
    Command(IDM_SHOW_OEM);
    Find({.hex = "c0", .wholeText = true});
    ExpectSelection(8, 9);
    // With match case off a hex letter folds as a typed one does: 61 finds the A.
    Find({.hex = "61", .wholeText = true});
    ExpectSelection(1, 2);
    // 00 makes an empty search text: nothing is searched, and Find next asks.
    Select(0, 0);
    Find({.hex = "00"});
    ExpectSelection(0, 0);
    harness::AnswerNextDialog(harness::PressButton(IDCANCEL));
    Command(IDM_FIND_NEXT);
    EXPECT_EQ(harness::TakeSeenDialogs().size(), 7u);
}

TEST_F(FindDialog, EmptyFieldIsNotAccepted) {
    Load(B("abc"));
    Find({.text = ""});
    EXPECT_EQ(g_search.textLength, 0);
    // "Hex:" on with an empty hex field: the text in the combo box does not count.
    Find({.text = "abc", .hex = ""});
    EXPECT_EQ(g_search.textLength, 0);
    ExpectSelection(0, 0);
}

TEST_F(FindDialog, OpensWithTheWordAtTheCaretInWindows1251Letters) {
    Command(IDM_SHOW_OEM);
    Load(B("one \xAF\xE0\xA8\xA2\xA5\xE2 three")); // "привет" in 866
    Select(6, 6);
    Opened opened;
    Find({}, &opened);
    EXPECT_EQ(opened.caption, "Найти...");
    EXPECT_FALSE(opened.replaceControlsVisible);
    EXPECT_EQ(opened.field, "привет");
    // Words longer than 260 are cut.
    Command(IDM_SHOW_ANSI);
    Load(Bytes(300, 'w'));
    Opened longWord;
    Find({}, &longWord);
    EXPECT_EQ(longWord.field, std::string(260, 'w'));
    // An empty document proposes nothing.
    Load(B(""));
    Opened empty;
    Find({}, &empty);
    EXPECT_EQ(empty.field, "");
}

TEST_F(FindDialog, HistoryKeepsTenTypedSearchesNewestFirst) {
    Load(B("text"));
    for (int i = 0; i < 11; ++i) Find({.text = "s" + std::to_string(i)});
    auto entry = [](int i) {
        char value[261];
        ReadSettingString(std::to_string(i).c_str(), value, sizeof value);
        return std::string(value);
    };
    EXPECT_EQ(entry(0), "s10");
    EXPECT_EQ(entry(9), "s1"); // s0 fell out
    Find({.text = "s5"});   // entry "5" moves to the top
    const std::vector<std::string> expected = {"s5", "s10", "s9", "s8", "s7", "s6", "s4", "s3", "s2", "s1"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(entry(i), expected[i]) << i;
    Find({.hex = "41"}); // hex searches are not entered
    EXPECT_EQ(entry(0), "s5");
    // The dialog lists them, "0" first, after the word at the caret.
    Select(0, 0);
    Opened opened;
    Find({}, &opened);
    ASSERT_EQ(opened.list.size(), 11u);
    EXPECT_EQ(opened.list[0], "text");
    EXPECT_EQ(opened.list[1], "s5");
    EXPECT_EQ(opened.list[10], "s1");
}

TEST_F(FindDialog, ListsTheOtherProgramsHistoryAfterItsOwn) {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    const std::string ini = std::string(folder) + "\\wincmd.ini";
    FILE* f = fopen(ini.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs("[Other]\r\n0=no\r\n[SearchText]\r\n0=first\r\n1=second\r\n5=sixth\r\n19=last\r\n20=beyond\r\n", f);
    fclose(f);
    WriteSettingString("0", "own");
    Opened opened;
    Find({}, &opened);
    DeleteFileA(ini.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "wincmd.ini"); // forget the cached file
    EXPECT_EQ(opened.list, (std::vector<std::string>{"own", "first", "second", "sixth", "last"}));
}

TEST_F(ReplaceDialog, OkWithPromptAsksOnceAndNoMovesOn) {
    Load(B("ab ab ab"));
    Opened opened;
    Replace({.text = "ab", .replacement = "X"}, {IDC_ANSWER_SKIP}, &opened);
    EXPECT_EQ(opened.caption, "Заменить...");
    EXPECT_TRUE(opened.replaceControlsVisible);
    EXPECT_TRUE(opened.prompt);
    EXPECT_EQ(PromptsSeen(), 1);
    EXPECT_EQ(Text(), B("ab ab ab"));
    Answer({IDC_ANSWER_REPLACE});
    Command(IDM_FIND_NEXT); // the next match, and only that one
    EXPECT_EQ(PromptsSeen(), 1);
    EXPECT_EQ(Text(), B("ab X ab"));
    ExpectSelection(4, 4);
}

TEST_F(ReplaceDialog, AnswersInAReplaceAllRun) {
    Load(B("ab ab ab ab ab"));
    // "&Нет" skips, "&Да" replaces, Escape is "&Нет", "&Отмена" stops with
    // the match selected.
    harness::AnswerNextDialog(Fill({.text = "ab", .replacement = "X", .button = IDC_REPLACE_ALL}));
    Answer({IDC_ANSWER_SKIP, IDC_ANSWER_REPLACE});
    harness::AnswerNextDialog([](HWND d) { harness::PostKey(GetFocus() ? GetFocus() : d, VK_ESCAPE); });
    Answer({IDC_ANSWER_STOP});
    Command(IDM_REPLACE);
    EXPECT_EQ(Text(), B("ab X ab ab ab"));
    ExpectSelection(8, 10);
    // Find next goes on with the match that was stopped at; "&Все" replaces
    // the rest without asking and turns the prompt off for good.
    Answer({IDC_ANSWER_ALL});
    Command(IDM_FIND_NEXT);
    EXPECT_EQ(Text(), B("ab X ab X X"));
    EXPECT_EQ(PromptsSeen(), 5);
    Opened opened;
    Replace({.button = IDCANCEL}, {}, &opened);
    EXPECT_FALSE(opened.prompt);
}

TEST_F(ReplaceDialog, AllWithoutPromptFromTheCaretAndAgainOnFindNext) {
    Load(B("ab ab ab"));
    Select(3, 3);
    Replace({.text = "ab", .replacement = "abab", .prompt = false, .button = IDC_REPLACE_ALL});
    // The replacement holds the search text: each step goes on after it.
    EXPECT_EQ(Text(), B("ab abab abab"));
    ExpectSelection(12, 12);
    EXPECT_EQ(g_search.position, -1);
    EXPECT_TRUE(Modified());
    // Replace all stays on: Find next runs it again from the caret.
    Select(0, 0);
    Command(IDM_FIND_NEXT);
    EXPECT_EQ(Text(), B("abab abababab abababab"));
    EXPECT_EQ(PromptsSeen(), 0);
    // One Undo brings back the text before the first run, and its caret.
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("ab ab ab"));
    ExpectSelection(3, 3);
}

TEST_F(ReplaceDialog, UpwardReplaceAllRunsTowardsTheStart) {
    Load(B("ab ab ab ab"));
    Select(6, 6);
    Replace({.text = "ab", .replacement = "[ab]", .upward = true, .prompt = false, .button = IDC_REPLACE_ALL});
    EXPECT_EQ(Text(), B("[ab] [ab] ab ab"));
    ExpectSelection(4, 4);
}

TEST_F(ReplaceDialog, HexReplacement) {
    Load(B("a\x01" "b"));
    Replace({.hex = "01", .hexReplacement = "0d0a", .prompt = false, .button = IDC_REPLACE_ALL});
    EXPECT_EQ(Text(), B("a\r\nb"));
}

TEST_F(ReplaceDialog, APromptThatCannotBeShownEndsTheRun) {
    Load(B("ab ab ab"));
    // The Replace dialog opens; the prompt after it cannot.
    harness::AnswerNextDialog([](HWND d) {
        harness::RefuseNextDialog();
        Fill({.text = "ab", .replacement = "X", .button = IDC_REPLACE_ALL})(d);
    });
    Command(IDM_REPLACE);
    EXPECT_EQ(Text(), B("ab ab ab"));
    ExpectSelection(0, 2);
}

// The same replace-all run twice: match by match (the prompt answered "&Да"
// each time) and without prompt (the final text computed at once). Both
// leave the same text, caret, modified flag, search position and one undo
// step back to the text before.
TEST_F(ReplaceDialog, WithoutPromptLeavesWhatMatchByMatchLeaves) {
    struct Case {
        Bytes text;
        int32_t caret;
        Filling filling;
    };
    const Case cases[] = {
        {B("a a-a xa a"), 0, {.text = "a", .replacement = "b", .wholeWord = true}},
        {B("a a-a xa a"), 10, {.text = "a", .replacement = "", .wholeWord = true, .upward = true}},
        {B("aaaaa\r\naa"), 3, {.text = "AA", .replacement = "aXa", .wholeText = true}},
        {B("one two one\r\ntwo"), 5, {.text = "TWO", .replacement = "2", .upward = true}},
        {B("xyz"), 1, {.text = "q", .replacement = "r"}},
    };
    for (const Case& c : cases) {
        struct Result {
            Bytes text;
            CHARRANGE selection;
            bool modified;
            int32_t position;
            Bytes undone;
            CHARRANGE undoneSelection;
        };
        Result results[2];
        for (int prompt = 1; prompt >= 0; --prompt) {
            Load(c.text);
            ClearUndoHistory();
            Select(c.caret, c.caret);
            g_search = SearchState{};
            Filling f = c.filling;
            f.prompt = prompt == 1;
            f.button = IDC_REPLACE_ALL;
            // Prompt on: "&Да" to every match.
            Replace(f, std::vector<int>(prompt ? 10 : 0, IDC_ANSWER_REPLACE));
            harness::DropUnusedAnswers();
            Result& r = results[prompt];
            r = {Text(), Selection(), Modified(), g_search.position, {}, {}};
            Command(IDM_UNDO);
            r.undone = Text();
            r.undoneSelection = Selection();
            Command(IDM_UNDO); // nothing more to take back
            EXPECT_EQ(Text(), c.text);
        }
        const std::string what(c.text.begin(), c.text.end());
        EXPECT_EQ(results[0].text, results[1].text) << what;
        EXPECT_EQ(results[0].selection.cpMin, results[1].selection.cpMin) << what;
        EXPECT_EQ(results[0].selection.cpMax, results[1].selection.cpMax) << what;
        EXPECT_EQ(results[0].modified, results[1].modified) << what;
        EXPECT_EQ(results[0].position, results[1].position) << what;
        EXPECT_EQ(results[0].undone, c.text) << what;
        EXPECT_EQ(results[1].undone, c.text) << what;
        EXPECT_EQ(results[0].undoneSelection.cpMin, c.caret) << what;
        EXPECT_EQ(results[1].undoneSelection.cpMin, c.caret) << what;
    }
}

TEST_F(ReplaceDialog, Screenshots) {
    // Large enough that the prompt, centred on the screen, stands over it.
    SetWindowPos(g_shell.mainWindow, HWND_TOP, 200, 200, 880, 600, SWP_SHOWWINDOW);
    Load(B("Съешь же ещё этих мягких французских булок, да выпей чаю.\r\n"
           "Эх, чужак, общий съём цен шляп (юфть) - вдрызг!\r\n"));
    Select(9, 9);
    harness::AnswerNextDialog([](HWND d) {
        harness::SaveScreenshot(d, "find-dialog");
        harness::PressButton(IDCANCEL)(d);
    });
    Command(IDM_FIND);
    harness::AnswerNextDialog([](HWND d) {
        harness::TypeInto(GetDlgItem(d, IDC_REPLACEMENT), "тех");
        harness::SaveScreenshot(d, "replace-dialog");
        harness::PressButton(IDOK)(d);
    });
    harness::AnswerNextDialog([](HWND d) {
        // The match stays drawn selected while the prompt has the focus.
        EXPECT_TRUE(SendMessageA(EditorWindow(), EM_GETOPTIONS, 0, 0) & ECO_NOHIDESEL);
        harness::SaveScreenshot(g_shell.mainWindow, "replace-prompt");
        harness::PressButton(IDC_ANSWER_SKIP)(d);
    });
    Command(IDM_REPLACE);
    ExpectSelection(9, 12);
    EXPECT_FALSE(SendMessageA(EditorWindow(), EM_GETOPTIONS, 0, 0) & ECO_NOHIDESEL);
}

} // namespace
