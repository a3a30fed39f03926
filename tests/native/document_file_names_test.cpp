#include <gtest/gtest.h>

#include <string>

#include "core/document/file_names.h"

namespace {

TEST(RecentOrder, NewEntriesGoToTheFrontAndTheListStaysTenLong) {
    EXPECT_EQ(MoveToFront("", '0'), "0");
    EXPECT_EQ(MoveToFront("0123456789", '9'), "9012345678");
    EXPECT_EQ(MoveToFront("0123456789", '5'), "5012346789");
    EXPECT_EQ(MoveToFront("0123456789", '0'), "0123456789");
    EXPECT_EQ(MoveToFront("321", '7'), "7321");
}

TEST(RecentOrder, HandEditedValuesKeepEachDigitOnce) {
    EXPECT_EQ(NormaliseOrder("3a3b1-1"), "31");
    EXPECT_EQ(NormaliseOrder("98765432109"), "9876543210");
    EXPECT_EQ(NormaliseOrder(""), "");
}

TEST(RecentOrder, SlotChoiceTakesTheLowestFreeSlotElseTheOldest) {
    bool used[kRecentSlots] = {};
    EXPECT_EQ(SlotForNewEntry("", used), '0');
    used[0] = used[1] = true;
    EXPECT_EQ(SlotForNewEntry("10", used), '2');
    for (bool& u : used) u = true;
    EXPECT_EQ(SlotForNewEntry("7012345689", used), '9');
    used[4] = false; // an emptied slot keeps its digit in the list but is free
    EXPECT_EQ(SlotForNewEntry("7012345689", used), '4');
}

TEST(RecentCaptionText, NamesUpToThirteenBytesShowWholeLongerOnesAreCut) {
    EXPECT_EQ(RecentCaption(0, "C:\\Docs\\README.TXT"), "&0 Readme.txt");
    EXPECT_EQ(RecentCaption(3, "C:\\D\\abcdefghi.txt"), "&3 abcdefghi.txt");     // 13 bytes
    EXPECT_EQ(RecentCaption(9, "C:\\D\\ABCDEFGHIJ.txt"), "&9 Abcdefghij.t...");  // 14 bytes
    EXPECT_EQ(RecentCaption(1, "C:\\x"), "&1 x");
    EXPECT_EQ(RecentCaption(1, ""), "");
}

TEST(RecentCaptionText, CyrillicNamesAreLoweredInWindows1251) {
    // "ПРИВЕТ.TXT" in 1251: the first letter stays, the rest goes to lower case.
    EXPECT_EQ(RecentCaption(2, "C:\\\xCF\xD0\xC8\xC2\xC5\xD2.TXT"), "&2 \xCF\xF0\xE8\xE2\xE5\xF2.txt");
    EXPECT_EQ(RecentCaption(2, "C:\\\xA8\xA8.TXT"), "&2 \xA8\xB8.txt"); // Ё
}

TEST(FileFilters, SixFiltersWithTheirDefaultExtensions) {
    const char* p = kFileFilters;
    int pairs = 0;
    while (*p) {
        p += std::string(p).size() + 1; // display text
        ASSERT_TRUE(*p) << "a display text without patterns";
        p += std::string(p).size() + 1;
        ++pairs;
    }
    EXPECT_EQ(pairs, kFileFilterCount);
    EXPECT_STREQ(DefaultExtensionFor(1), "txt");
    EXPECT_STREQ(DefaultExtensionFor(2), "");
    EXPECT_STREQ(DefaultExtensionFor(3), "htm");
    EXPECT_STREQ(DefaultExtensionFor(6), "bat");
    EXPECT_EQ(DefaultExtensionFor(0), nullptr);
    EXPECT_EQ(DefaultExtensionFor(7), nullptr);
}

TEST(TemporaryName, LivesInTheFolderOfTheFileAndNeverOverrunsTheBuffer) {
    char out[260];
    ASSERT_TRUE(TemporaryNameFor("C:\\Docs\\a.txt", 0x12, out, sizeof out));
    EXPECT_EQ(std::string(out).rfind("C:\\Docs\\", 0), 0u);
    EXPECT_EQ(std::string(out).find('\\', 8), std::string::npos);
    char other[260];
    ASSERT_TRUE(TemporaryNameFor("C:\\Docs\\a.txt", 0x13, other, sizeof other));
    EXPECT_STRNE(out, other);
    const std::string deep = "C:\\" + std::string(240, 'd') + "\\a.txt";
    char small[250];
    EXPECT_FALSE(TemporaryNameFor(deep, 1, small, sizeof small));
    EXPECT_TRUE(TemporaryNameFor(deep, 1, out, sizeof out));
    EXPECT_LT(std::string(out).size(), sizeof out);
}

TEST(LastBackslashSearch, StopsAtTheLowestIndexGiven) {
    EXPECT_EQ(LastBackslash("C:\\a\\b", 2), 4);
    EXPECT_EQ(LastBackslash("C:\\a", 2), 2);
    EXPECT_EQ(LastBackslash("\\ab", 2), -1);
    EXPECT_EQ(LastBackslash("name", 0), -1);
}

} // namespace

TEST(DeviceNames, ReservedNamesAreDevicesInAnyFolderWithAnyExtension) {
    for (const char* device : {"NUL", "nul.txt", "C:\\Docs\\con", "Z:\\tmp\\Aux.log.txt", "prn. ", "COM1",
                               "\\\\.\\NUL", "lpt9.doc", "CONOUT$", "C:nul"})
        EXPECT_TRUE(IsDeviceName(device)) << device;
    for (const char* file : {"null.txt", "C:\\nul\\letter.txt", "COM0", "com10", "lpt", "console.txt", "",
                             "C:\\Docs\\", "\xCD\xD3\xCB.txt"})
        EXPECT_FALSE(IsDeviceName(file)) << file;
}

TEST(FileErrors, TheNameComesFirstAndTheSystemTextFollowsAsAClause) {
    EXPECT_EQ(FileErrorText("C:\\\xEF\xE8\xF1\xFC\xEC\xEE.txt", "\xC4\xEE\xF1\xF2\xF3\xEF \xE7\xE0\xEF\xF0\xE5\xF9\xE5\xED.\r\n"),
              "C:\\\xEF\xE8\xF1\xFC\xEC\xEE.txt: \xE4\xEE\xF1\xF2\xF3\xEF \xE7\xE0\xEF\xF0\xE5\xF9\xE5\xED");
    EXPECT_EQ(FileErrorText("a.txt", "DLL not found.\r\n"), "a.txt: DLL not found");
    EXPECT_EQ(FileErrorText("a.txt", "Disk full"), "a.txt: disk full");
    EXPECT_EQ(FileErrorText("a.txt", "\r\n"), "a.txt");
}
