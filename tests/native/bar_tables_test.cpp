#include "core/editor/bar_tables.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "core/app/command_ids.h"
#include "core/app/menu_tables.h"

namespace {

TEST(ToolbarTables, CatalogueOffersEachCommandOnceWithItsImage) {
    std::set<int> commands;
    for (const ToolbarItem& item : ToolbarCatalogue()) {
        EXPECT_TRUE(commands.insert(item.command).second) << item.command;
        EXPECT_FALSE(CommandCaption(item.command).empty()) << item.command;
        EXPECT_GE(item.image, 0);
        EXPECT_LT(item.image, kStandardImageCount + kOwnImageCount);
        EXPECT_EQ(item.check, item.command == IDM_WORD_WRAP);
    }
    EXPECT_EQ(ToolbarCatalogue().size(), 33u);
    // Commands up to IDM_PRINT show their standard image; the code-page and
    // alignment commands their own ones.
    EXPECT_EQ(ToolbarItemOfCommand(IDM_PRINT)->image, 14);
    EXPECT_EQ(ToolbarItemOfCommand(IDM_INSERT_FILE)->image, ToolbarItemOfCommand(IDM_OPEN)->image);
    EXPECT_EQ(ToolbarItemOfCommand(IDM_TO_KOI8)->image, kOwnImageFirst + 2);
    EXPECT_EQ(ToolbarItemOfCommand(IDM_RUN)->image, kOwnImageFirst + 7);
    EXPECT_EQ(ToolbarItemOfCommand(IDM_LINE_BREAK)->image, kOwnImageFirst + 8);
    EXPECT_EQ(ToolbarItemOfCommand(IDM_SHOW_ANSI), nullptr);
    // Redo's image is its own, on the button and in the menu.
    const int redo = ToolbarItemOfCommand(IDM_REDO)->image;
    for (const ToolbarItem& item : ToolbarCatalogue()) EXPECT_TRUE(item.image != redo || item.command == IDM_REDO);
    EXPECT_EQ(MenuItemImage(IDM_REDO, false, false, MenuIcon::None).index, redo - kOwnImageFirst);
}

TEST(ToolbarTables, DefaultButtonsAreFileThenClipboardThenUndo) {
    const std::vector<int> expected = {IDM_NEW, IDM_OPEN, IDM_SAVE, 0, IDM_CUT, IDM_COPY, IDM_PASTE, 0, IDM_UNDO};
    EXPECT_EQ(std::vector<int>(DefaultToolbarButtons().begin(), DefaultToolbarButtons().end()), expected);
}

TEST(StatusTexts, CaretFieldIsColumnFirstInFourPlacesAndBounded) {
    char text[32];
    EXPECT_EQ(FormatCaretField(1, 3, text, sizeof text), 6u);
    EXPECT_STREQ(text, "   1:3");
    FormatCaretField(12345, 4000000000u, text, sizeof text);
    EXPECT_STREQ(text, "12345:4000000000");
    char small[5];
    EXPECT_EQ(FormatCaretField(1, 3, small, sizeof small), 4u);
    EXPECT_STREQ(small, "   1");
    EXPECT_EQ(FormatCaretField(1, 3, small, 0), 0u);
}

TEST(StatusTexts, FieldNames) {
    EXPECT_STREQ(CodePageFieldName(0), "ANSI (1251)");
    EXPECT_STREQ(CodePageFieldName(1), "OEM (866)");
    EXPECT_STREQ(CodePageFieldName(2), "KOI8 R");
    EXPECT_STREQ(CodePageFieldName(3), "");
    EXPECT_STREQ(ModeFieldText(false), "Вставка");
    EXPECT_STREQ(ModeFieldText(true), "Замена");
    char k[3];
    KeyboardFieldText("rus", k);
    EXPECT_STREQ(k, "RU");
    KeyboardFieldText("E", k);
    EXPECT_STREQ(k, "E");
    KeyboardFieldText("", k);
    EXPECT_STREQ(k, "");
}

// A text whose rows are its CR LF lines, asked as the editor control is;
// counts the questions that walk the text.
std::string g_text;
int32_t g_caret;
int g_walks;

int32_t RowOf(int32_t position) {
    int32_t row = 0;
    for (int32_t i = 0; i + 2 <= position && i + 1 < static_cast<int32_t>(g_text.size()); ++i)
        if (g_text[i] == '\r' && g_text[i + 1] == '\n') ++row;
    return row;
}
int32_t RowStartOf(int32_t row) {
    int32_t seen = 0;
    if (row == 0) return 0;
    for (int32_t i = 0; i + 1 < static_cast<int32_t>(g_text.size()); ++i)
        if (g_text[i] == '\r' && g_text[i + 1] == '\n' && ++seen == row) return i + 2;
    return -1;
}
int32_t Rows() { return RowOf(static_cast<int32_t>(g_text.size())) + 1; }
const CaretQueries kQueries{
    Rows, [] { return RowStartOf(RowOf(g_caret)); },
    [](int32_t p) {
        ++g_walks;
        return RowOf(p);
    },
    [](int32_t r) {
        ++g_walks;
        return RowStartOf(r);
    }};

TEST(CaretField, RewritesOnlyWhenTheSelectionMoves) {
    g_text = "ab\r\ncd\r\nef";
    CaretFieldCache cache;
    CaretPosition p{};
    g_caret = 8;
    ASSERT_TRUE(UpdateCaretFieldCache(cache, 8, 8, kQueries, p));
    EXPECT_EQ(p.column, 1u);
    EXPECT_EQ(p.line, 3u);
    EXPECT_FALSE(UpdateCaretFieldCache(cache, 8, 8, kQueries, p));
    ResetCaretFieldCache(cache);
    EXPECT_TRUE(UpdateCaretFieldCache(cache, 8, 8, kQueries, p));
    // A selection is shown by its start.
    EXPECT_TRUE(UpdateCaretFieldCache(cache, 5, 9, kQueries, p));
    EXPECT_EQ(p.column, 2u);
    EXPECT_EQ(p.line, 2u);
}

// Keys edit at the caret and move it; the field must always say what a walk
// from the start would, while typing within a line walks no more.
TEST(CaretField, KeyboardEditsAgreeWithAFullWalk) {
    std::mt19937 random(7);
    g_text.clear();
    for (int i = 0; i < 40; ++i) g_text += i % 7 == 6 ? "\r\n" : "xyz ";
    g_caret = 0;
    CaretFieldCache cache;
    int typedInLine = 0;
    int walksWhileTypingInLine = 0;
    bool typedBefore = false;
    for (int step = 0; step < 3000; ++step) {
        const int action = static_cast<int>(random() % 8);
        const int32_t size = static_cast<int32_t>(g_text.size());
        auto atBreak = [](int32_t at) { return at + 1 < static_cast<int32_t>(g_text.size()) && g_text[at] == '\r'; };
        bool plainTyping = false;
        if (action <= 2) { // a character
            g_text.insert(static_cast<size_t>(g_caret), 1, 'q');
            ++g_caret;
            plainTyping = true;
        } else if (action == 3) { // Enter
            g_text.insert(static_cast<size_t>(g_caret), "\r\n");
            g_caret += 2;
        } else if (action == 4 && g_caret > 0) { // Backspace
            const int32_t n = g_caret >= 2 && g_text[g_caret - 2] == '\r' ? 2 : 1;
            g_text.erase(static_cast<size_t>(g_caret - n), static_cast<size_t>(n));
            g_caret -= n;
        } else if (action == 5 && g_caret < size) { // Delete
            g_text.erase(static_cast<size_t>(g_caret), atBreak(g_caret) ? 2 : 1);
        } else if (action == 6) { // arrows, Home, End, a click
            g_caret = static_cast<int32_t>(random() % (g_text.size() + 1));
            if (g_caret > 0 && g_text[g_caret - 1] == '\r') --g_caret;
        }
        const int walksBefore = g_walks;
        CaretPosition p{};
        const bool wrote = UpdateCaretFieldCache(cache, g_caret, g_caret, kQueries, p);
        // A character typed right after another one stays on its row.
        if (plainTyping && typedBefore) {
            ++typedInLine;
            walksWhileTypingInLine += g_walks - walksBefore;
        }
        typedBefore = plainTyping;
        if (!wrote) continue;
        ASSERT_EQ(p.line, static_cast<uint32_t>(RowOf(g_caret) + 1)) << step;
        ASSERT_EQ(p.column, static_cast<uint32_t>(g_caret - RowStartOf(RowOf(g_caret)) + 1)) << step;
    }
    EXPECT_GT(typedInLine, 300);
    EXPECT_EQ(walksWhileTypingInLine, 0);
}

// An edit before the caret that keeps the caret's offset but adds a row (a
// replacement made by a dialog while the caret stays put) is not taken for
// the same row.
TEST(CaretField, RowsAddedBeforeTheCaretAreNoticed) {
    g_text = "abcd\r\nline two";
    g_caret = 8;
    CaretFieldCache cache;
    CaretPosition p{};
    ASSERT_TRUE(UpdateCaretFieldCache(cache, 8, 8, kQueries, p));
    EXPECT_EQ(p.line, 2u);
    g_text.replace(1, 2, "\r\n"); // "a\r\nd\r\nline two": same length, one row more
    g_caret = 9;
    ASSERT_TRUE(UpdateCaretFieldCache(cache, 9, 9, kQueries, p));
    EXPECT_EQ(p.line, 3u);
    EXPECT_EQ(p.column, 4u);
}

TEST(MenuImages, RecentFilesAndLinksShowIcons) {
    EXPECT_EQ(RecentFileIcon("C:\\WEB\\INDEX.HTM"), MenuIcon::Html);
    EXPECT_EQ(RecentFileIcon("c:\\web\\page.Html"), MenuIcon::Html);
    EXPECT_EQ(RecentFileIcon("c:\\web\\page.shtml"), MenuIcon::Html);
    EXPECT_EQ(RecentFileIcon("c:\\notes.TXT"), MenuIcon::Program);
    EXPECT_EQ(RecentFileIcon("c:\\notes.txt.bak"), MenuIcon::None);
    EXPECT_EQ(RecentFileIcon("htm"), MenuIcon::None);
    EXPECT_EQ(CommandIcon(IDM_RECENT_FIRST + 3, "4 c:\\a.html"), MenuIcon::Html);
    EXPECT_EQ(CommandIcon(IDM_ABOUT, "&О программе"), MenuIcon::Program);
    EXPECT_EQ(CommandIcon(IDM_WEB_PAGE, ""), MenuIcon::Html);
    EXPECT_EQ(CommandIcon(IDM_MAIL, ""), MenuIcon::Html);
    EXPECT_EQ(CommandIcon(IDM_OPEN, "&Открыть..."), MenuIcon::None);
}

TEST(MenuImages, BoxesShowImagesChecksAndTheActiveCodePage) {
    auto image = [](int id, bool checked, bool greyed, MenuIcon icon = MenuIcon::None) {
        MenuImage m = MenuItemImage(id, checked, greyed, icon);
        return std::to_string(m.box) + ":" + std::to_string(static_cast<int>(m.kind)) + ":" + std::to_string(m.index);
    };
    auto expect = [](bool box, MenuImageKind kind, int index) {
        return std::to_string(box) + ":" + std::to_string(static_cast<int>(kind)) + ":" + std::to_string(index);
    };
    EXPECT_EQ(image(IDM_CUT, false, false), expect(true, MenuImageKind::Standard, 0));
    EXPECT_EQ(image(IDM_PRINT, false, false), expect(true, MenuImageKind::Standard, 14));
    EXPECT_EQ(image(IDM_CUT, false, true), expect(false, MenuImageKind::None, 0));
    // Only the display code page in use shows its image.
    EXPECT_EQ(image(IDM_SHOW_OEM, true, false), expect(true, MenuImageKind::Own, 1));
    EXPECT_EQ(image(IDM_SHOW_OEM, false, false), expect(false, MenuImageKind::None, 0));
    EXPECT_EQ(image(IDM_RUN, false, false), expect(true, MenuImageKind::Own, 7));
    EXPECT_EQ(image(IDM_TO_KOI8, false, false), expect(false, MenuImageKind::None, 0));
    EXPECT_EQ(image(IDM_PAGE_SETUP, false, false), expect(false, MenuImageKind::None, 0));
    // Word wrap shows a check box, checked or not.
    EXPECT_EQ(image(IDM_WORD_WRAP, false, false), expect(true, MenuImageKind::CheckBox, 0));
    EXPECT_EQ(image(IDM_WORD_WRAP, true, false), expect(true, MenuImageKind::CheckBox, 0));
    EXPECT_EQ(image(IDM_ABOUT, false, false, MenuIcon::Program), expect(true, MenuImageKind::Icon, 0));
}

} // namespace
