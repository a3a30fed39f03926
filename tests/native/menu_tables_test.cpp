#include "core/app/menu_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(MenuTables, EveryMenuCommandHasItsCaption) {
    std::set<int> inMenus;
    for (int p = 0; p < kPopupCount; ++p)
        for (int id : PopupItems(p))
            if (id != kMenuSeparator) {
                EXPECT_TRUE(inMenus.insert(id).second) << "twice: " << id;
            }
    for (int id = 1; id <= kCaptionCount; ++id) {
        EXPECT_TRUE(inMenus.count(id)) << id;
        EXPECT_FALSE(CommandCaption(id).empty()) << id;
    }
    for (int id = IDM_RECENT_FIRST; id <= IDM_RECENT_LAST; ++id) EXPECT_TRUE(inMenus.count(id));
    EXPECT_EQ(CommandCaption(0), "");
    EXPECT_EQ(CommandCaption(57), "");
}

TEST(MenuTables, CodePageCaptionsMixCyrillicAndLatin) {
    // The letter after the ampersand is Cyrillic, the rest Latin.
    EXPECT_EQ(CommandCaption(16), "&\xC0NSI (1251)");
    EXPECT_EQ(CommandCaption(17), "&\xCE" "EM (866)");
    EXPECT_EQ(CommandCaption(18), "&\xCAOI8 R");
    EXPECT_EQ(CommandCaption(40), "&\xC0NSI...");
    EXPECT_EQ(CommandCaption(41), "&\xCE" "EM...");
    EXPECT_EQ(CommandCaption(42), "&\xCAOI8...");
    EXPECT_EQ(CommandCaption(52).substr(0, 5), "&\xCDTML");
}

TEST(MenuTables, MnemonicOfACaption) {
    EXPECT_EQ(CaptionMnemonic("Созд&ать"), '\xE0');
    EXPECT_EQ(CaptionMnemonic("-> KOI8"), 0);
    EXPECT_EQ(CaptionMnemonic("ab&"), 0);      // an ampersand at the end marks nothing
    EXPECT_EQ(CaptionMnemonic("a&&b&c"), 'b'); // the second of a pair marks the next
}

TEST(MenuTables, MnemonicTableHasFiftyEightEntriesInInsertionOrder) {
    std::vector<MnemonicEntry> table = BuildMnemonicTable();
    ASSERT_EQ(table.size(), 58u);
    // File popup, from its last item up: exit, the ten recent files 9..0,
    // save as, save, insert, open, new.
    EXPECT_EQ(table[0].id, 43);
    EXPECT_EQ(table[0].character, '\xFB');
    EXPECT_EQ(table[1].id, 909);
    EXPECT_EQ(table[1].character, '9');
    EXPECT_EQ(table[10].id, 900);
    EXPECT_EQ(table[10].character, '0');
    EXPECT_EQ(table[15].id, 7);
    for (size_t i = 1; i < table.size(); ++i) EXPECT_LE(table[i - 1].popup, table[i].popup);
    // No entries for items without an ampersand.
    for (const MnemonicEntry& e : table)
        for (int none : {27, 31, 32, 33, 35, 53, 54}) EXPECT_NE(e.id, none);
    // In the font popup, size down (IDM_SIZE_DOWN) comes before the ANSI font (IDM_FONT_ANSI).
    int pos49 = -1, pos40 = -1;
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i].id == 49) pos49 = static_cast<int>(i);
        if (table[i].id == 40) pos40 = static_cast<int>(i);
    }
    EXPECT_LT(pos49, pos40);
}

// The Russian keyboard: the key of a few letters, upper and lower case alike.
int RussianKey(char c) {
    switch (static_cast<unsigned char>(c)) {
    case 0xE0: case 0xC0: return 'F'; // а А
    case 0xF0: case 0xD0: return 'H'; // р Р
    case 0xCD: case 0xED: return 'Y'; // Н н
    case 0xF4: case 0xD4: return 'A'; // ф Ф
    case 0xF2: case 0xD2: return 'N'; // т Т
    case 0xD6: case 0xF6: return 'W'; // Ц ц
    case 0xCA: case 0xEA: return 'R'; // К к
    case 0xCE: case 0xEE: return 'J'; // О о
    default: return c >= 'a' && c <= 'z' ? c - 32 : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ? c : -1;
    }
}
int NoKey(char) { return -1; }
char Upper1251(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0xE0) return static_cast<char>(u - 0x20);
    if (u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
    return c;
}
bool NothingGrey(int) { return false; }
bool SizeDownGrey(int id) { return id == 49; }

TEST(MenuTables, MnemonicSearchTakesTheFirstEntryOnTheSameKey) {
    std::vector<MnemonicEntry> table = BuildMnemonicTable();
    // "Р&азмер\t\t-" (IDM_SIZE_DOWN) and "&АNSI..." (IDM_FONT_ANSI) share a key: IDM_SIZE_DOWN wins.
    EXPECT_EQ(FindMnemonicCommand(table, 6, '\xE0', RussianKey, Upper1251, NothingGrey), 49);
    EXPECT_EQ(FindMnemonicCommand(table, 6, '\xC0', RussianKey, Upper1251, NothingGrey), 49);
    // Grey items are passed over.
    EXPECT_EQ(FindMnemonicCommand(table, 6, '\xE0', RussianKey, Upper1251, SizeDownGrey), 40);
    // Only entries of the given popup count.
    EXPECT_EQ(FindMnemonicCommand(table, 0, '\xE0', RussianKey, Upper1251, NothingGrey), 7);
    EXPECT_EQ(FindMnemonicCommand(table, 4, 'x', RussianKey, Upper1251, NothingGrey), 0);
    // Latin mnemonics and digits.
    EXPECT_EQ(FindMnemonicCommand(table, 5, 'r', RussianKey, Upper1251, NothingGrey), 34);
    EXPECT_EQ(FindMnemonicCommand(table, 0, '5', RussianKey, Upper1251, NothingGrey), 905);
}

TEST(MenuTables, MnemonicSearchWithoutKeysComparesLetters) {
    std::vector<MnemonicEntry> table = BuildMnemonicTable();
    EXPECT_EQ(FindMnemonicCommand(table, 6, '\xE0', NoKey, Upper1251, NothingGrey), 49);
    EXPECT_EQ(FindMnemonicCommand(table, 6, '\xC0', NoKey, Upper1251, NothingGrey), 49);
    EXPECT_EQ(FindMnemonicCommand(table, 1, '\xEA', NoKey, Upper1251, NothingGrey), 2); // к: copy
    EXPECT_EQ(FindMnemonicCommand(table, 1, '\xFF', NoKey, Upper1251, NothingGrey), 0);
}

} // namespace
