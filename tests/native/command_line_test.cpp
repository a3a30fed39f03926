#include "core/app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, NoArgumentGivesEmptyName) {
    EXPECT_EQ(ScanCommandLine("lork2.exe").name, "");
    EXPECT_EQ(ScanCommandLine("\"C:\\Program Files\\lork2.exe\"").name, "");
    EXPECT_EQ(ScanCommandLine("\"C:\\Program Files\\lork2.exe\"   ").name, "");
    EXPECT_FALSE(ScanCommandLine("lork2.exe").print);
}

TEST(CommandLine, NameWithBlanksQuotedOrNot) {
    EXPECT_EQ(ScanCommandLine("lork2.exe my file.txt").name, "my file.txt");
    EXPECT_EQ(ScanCommandLine("lork2.exe \"my file.txt\"").name, "my file.txt");
    EXPECT_EQ(ScanCommandLine("\"C:\\a b\\lork2.exe\" \"C:\\x y\\my file.txt\"").name,
              "C:\\x y\\my file.txt");
}

TEST(CommandLine, TextAfterClosingQuoteIsIgnored) {
    EXPECT_EQ(ScanCommandLine("lork2.exe \"a.txt\" b.txt").name, "a.txt");
    EXPECT_EQ(ScanCommandLine("lork2.exe \"a.txt\"\"b.txt\"").name, "a.txt");
}

TEST(CommandLine, LeadingQuotesAndBlanksInAnyMix) {
    EXPECT_EQ(ScanCommandLine("lork2.exe \" \" \"a.txt").name, "a.txt");
    EXPECT_EQ(ScanCommandLine("lork2.exe\t \t a.txt").name, "a.txt");
}

TEST(CommandLine, PrintSwitchAnyWordBeginningWithSlashP) {
    for (const char* line : {"lork2.exe /p a.txt", "lork2.exe /P a.txt", "lork2.exe /print a.txt",
                             "lork2.exe /Pxyz \"a.txt\"", "lork2.exe \"/p\" a.txt"}) {
        SCOPED_TRACE(line);
        CommandLine c = ScanCommandLine(line);
        EXPECT_TRUE(c.print);
        EXPECT_EQ(c.name, "a.txt");
    }
    CommandLine quoted = ScanCommandLine("\"lork2.exe\" /p \"my file.txt\"");
    EXPECT_TRUE(quoted.print);
    EXPECT_EQ(quoted.name, "my file.txt");
}

TEST(CommandLine, OtherSwitchesAreNames) {
    CommandLine c = ScanCommandLine("lork2.exe /x a.txt");
    EXPECT_FALSE(c.print);
    EXPECT_EQ(c.name, "/x a.txt");
    CommandLine lone = ScanCommandLine("lork2.exe /");
    EXPECT_FALSE(lone.print);
    EXPECT_EQ(lone.name, "/");
}

TEST(CommandLine, PrintSwitchWithoutName) {
    CommandLine c = ScanCommandLine("lork2.exe /p");
    EXPECT_TRUE(c.print);
    EXPECT_EQ(c.name, "");
}

TEST(CommandLine, UnterminatedQuoteOnProgramName) {
    EXPECT_EQ(ScanCommandLine("\"lork2.exe a.txt").name, "");
}

} // namespace
