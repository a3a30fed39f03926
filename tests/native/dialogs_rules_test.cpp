// The window-free rules behind the font dialog, the character table, the
// About box, the file associations and the Run command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "core/app/command_ids.h"
#include "core/app/menu_tables.h"
#include "core/dialogs/about_text.h"
#include "core/dialogs/association_rules.h"
#include "core/dialogs/char_table_text.h"
#include "core/dialogs/font_choices.h"
#include "core/dialogs/run_rule.h"
#include "lork2_version.h"

namespace {

std::string Preview(int codePage) {
    const auto text = FontPreviewText(codePage);
    return std::string(text.begin(), text.end());
}

TEST(FontChoices, ThePreviewShowsTheSampleInTheCodePageBeingEdited) {
    const std::string oem = Preview(1);
    ASSERT_EQ(oem.size(), 72u);
    EXPECT_EQ(oem.substr(0, 14), "Face \xAA\xE0\xA8\xA2\xAE\xA9?\r\n");
    EXPECT_EQ(oem.substr(14, 10), "\xDA\xC4\xC4\xC4\xC4\xC4\xC4\xBF\r\n"); // ┌──────┐
    EXPECT_EQ(oem.substr(64), "\xC0\xC4\xC4\xC4\xC4\xC4\xC4\xD9");       // └──────┘
    EXPECT_EQ(std::count(oem.begin(), oem.end(), '\n'), 6);

    // 1251 has no box drawing: the frame becomes look-alikes.
    const std::string ansi = Preview(0);
    EXPECT_EQ(ansi.substr(0, 14), "Face \xEA\xF0\xE8\xE2\xEE\xE9?\r\n");
    EXPECT_EQ(ansi.substr(14, 10), "-------\xAC\r\n");
    EXPECT_EQ(ansi.substr(24, 10), "\xA6 \\  / \xA6\r\n");
    EXPECT_EQ(ansi.substr(64), "L------\x2D");

    // KOI8-R has its own box drawing.
    const std::string koi8 = Preview(2);
    EXPECT_EQ(koi8.substr(0, 14), "Face \xCB\xD2\xC9\xD7\xCF\xCA?\r\n");
    EXPECT_EQ(koi8.substr(14, 10), "\x82\x80\x80\x80\x80\x80\x80\x83\r\n");
    EXPECT_EQ(koi8.substr(54, 10), "\x81  \x80\x80  \x81\r\n");
    EXPECT_EQ(koi8.substr(64), "\x84\x80\x80\x80\x80\x80\x80\x85");
}

TEST(FontChoices, SizesTheListCannotShowAreKeptOnOk) {
    EXPECT_EQ(SizeIndex(20), 0);
    EXPECT_EQ(SizeIndex(200), 9);
    EXPECT_EQ(SizeIndex(210), 9);
    EXPECT_EQ(SizeIndex(400), 19);
    for (int32_t unshowable : {0, 19, 420, 520, -20}) EXPECT_EQ(SizeIndex(unshowable), -1) << unshowable;
    EXPECT_EQ(ChosenSize(9, 520), 200);
    EXPECT_EQ(ChosenSize(19, 0), 400);
    // 26 points from the size commands: nothing selected, the size stays.
    EXPECT_EQ(ChosenSize(-1, 520), 520);
    EXPECT_EQ(ChosenSize(20, 80), 80);
}

TEST(FontChoices, StoredSizesAreShownBetweenOneAndTwentySixPoints) {
    for (int32_t none : {0, -1, -2147483647 - 1}) EXPECT_EQ(ShownFontSize(none), 0) << none;
    for (int32_t inRange : {20, 200, 210, 520}) EXPECT_EQ(ShownFontSize(inRange), inRange);
    for (int32_t tiny : {1, 19}) EXPECT_EQ(ShownFontSize(tiny), 20) << tiny;
    for (int32_t huge : {540, 1000000, 2147483647}) EXPECT_EQ(ShownFontSize(huge), 520) << huge;
}

TEST(FontChoices, CharacterSetsAndEffects) {
    EXPECT_EQ(CharsetIndex(204), 0);
    EXPECT_EQ(CharsetIndex(255), 1);
    EXPECT_EQ(CharsetIndex(1), 2);
    EXPECT_EQ(CharsetIndex(0), -1);
    EXPECT_STREQ(kCharsetChoices[1].name, "OEM_CHARSET");
    EXPECT_EQ(ChosenCharset(2, 0), 1);
    // A stored set the list does not offer gives way to the code page's own.
    EXPECT_EQ(ChosenCharset(-1, 0), 204);
    EXPECT_EQ(ChosenCharset(-1, 1), 255);
    EXPECT_EQ(ChosenCharset(-1, 2), 1);
    EXPECT_EQ(EffectsOf(false, false), 0);
    EXPECT_EQ(EffectsOf(true, false), 1);
    EXPECT_EQ(EffectsOf(false, true), 2);
    EXPECT_EQ(EffectsOf(true, true), 3);
}

TEST(FontChoices, AFaceNameIsCutToTheFontRecord) {
    char face[kFaceNameSize];
    memset(face, 'x', sizeof face);
    CutFaceName("Liberation Mono", face);
    EXPECT_STREQ(face, "Liberation Mono");
    const std::string longName(40, 'F');
    CutFaceName(longName.c_str(), face);
    EXPECT_EQ(std::string(face), longName.substr(0, 31));
    CutFaceName(std::string(31, 'G').c_str(), face);
    EXPECT_EQ(std::string(face), std::string(31, 'G'));
    CutFaceName(nullptr, face);
    EXPECT_STREQ(face, "");
}

TEST(CharTableText, EveryByteFrom32To255InSevenLinesOf32) {
    const auto text = CharTableText();
    std::string all(text.begin(), text.end());
    ASSERT_EQ(all.size(), 236u);
    std::set<unsigned char> seen;
    for (int line = 0; line < 7; ++line) {
        const std::string row = all.substr(line * 34, 32);
        for (int i = 0; i < 32; ++i) EXPECT_EQ(static_cast<unsigned char>(row[i]), 0x20 + line * 32 + i);
        seen.insert(row.begin(), row.end());
        if (line < 6) {
            EXPECT_EQ(all.substr(line * 34 + 32, 2), "\r\n");
        }
    }
    EXPECT_EQ(seen.size(), 224u);
}

TEST(AboutBox, NameVersionMottoMakersAndTheHelpMenuAddresses) {
    const AboutTexts texts = MakeAboutTexts("1.2.3", "https://lork2.example.org/", "mailto:lork2@example.org");
    const size_t hash = texts.application.find('#');
    ASSERT_NE(hash, std::string::npos);
    EXPECT_EQ(texts.application.find('#', hash + 1), std::string::npos);
    EXPECT_EQ(texts.application.substr(0, hash), "LORK2-1.2.3"); // written together, no blank
    EXPECT_GT(texts.application.size(), hash + 10) << "a motto after #";
    const size_t lineEnd = texts.other.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos);
    EXPECT_EQ(texts.other.find("\r\n", lineEnd + 2), std::string::npos) << "two lines";
    EXPECT_EQ(texts.other.substr(0, lineEnd).find("Разработчики LORK2"), 0u);
    const std::string contacts = texts.other.substr(lineEnd + 2);
    EXPECT_NE(contacts.find("https://lork2.example.org/"), std::string::npos);
    EXPECT_NE(contacts.find("lork2@example.org"), std::string::npos);
    EXPECT_EQ(contacts.find("mailto:"), std::string::npos);

    // The program's own: its version and the addresses of the help menu.
    const AboutTexts own = ProgramAboutTexts();
    EXPECT_EQ(own.application.substr(0, own.application.find('#')), std::string("LORK2-") + LORK2_VERSION);
    std::string mail(CommandCaption(IDM_MAIL));
    ASSERT_EQ(mail.substr(0, 7), "mailto:");
    EXPECT_NE(own.other.find(std::string(CommandCaption(IDM_WEB_PAGE))), std::string::npos);
    EXPECT_NE(own.other.find(mail.substr(7)), std::string::npos);
}

TEST(AssociationRules, KeysAndTextsOfEachVerb) {
    EXPECT_EQ(VerbKeyName("txtfile", kVerbOpen), "txtfile\\shell\\open\\command");
    EXPECT_EQ(VerbKeyName("batfile", kVerbEdit), "batfile\\shell\\edit\\command");
    EXPECT_EQ(VerbKeyName("txtfile", kVerbIcon), "txtfile\\DefaultIcon");
    EXPECT_EQ(VerbKeyName("txtfile", kVerbPrint), "txtfile\\shell\\print\\command");
    const char* path = "C:\\Tools\\lork2.exe";
    EXPECT_EQ(OwnVerbText(path, kVerbOpen), "C:\\Tools\\lork2.exe %1");
    EXPECT_EQ(OwnVerbText(path, kVerbIcon), "C:\\Tools\\lork2.exe,1");
    EXPECT_EQ(OwnVerbText(path, kVerbPrint), "C:\\Tools\\lork2.exe /p %1");
    EXPECT_EQ(HandBackVerbText(kVerbEdit), "notepad.exe %1");
    EXPECT_EQ(HandBackVerbText(kVerbIcon), "notepad.exe,1");
    EXPECT_EQ(HandBackVerbText(kVerbPrint), "notepad.exe /p %1");
}

TEST(AssociationRules, APathWithABlankIsQuotedInCommandsAndBothFormsCount) {
    const char* path = "C:\\Program Files\\LORK2\\lork2.exe";
    EXPECT_EQ(OwnVerbText(path, kVerbOpen), "\"C:\\Program Files\\LORK2\\lork2.exe\" %1");
    EXPECT_EQ(OwnVerbText(path, kVerbEdit), "\"C:\\Program Files\\LORK2\\lork2.exe\" %1");
    EXPECT_EQ(OwnVerbText(path, kVerbPrint), "\"C:\\Program Files\\LORK2\\lork2.exe\" /p %1");
    EXPECT_EQ(OwnVerbText(path, kVerbIcon), "C:\\Program Files\\LORK2\\lork2.exe,1"); // an icon is never run
    for (int verb : {kVerbEdit, kVerbOpen, kVerbIcon, kVerbPrint}) {
        const auto accepted = AcceptedOwnVerbTexts(path, verb);
        EXPECT_NE(std::find(accepted.begin(), accepted.end(), OwnVerbText(path, verb)), accepted.end()) << verb;
        EXPECT_EQ(accepted[0].find('"'), std::string::npos);
        EXPECT_EQ(accepted[1].substr(0, 2), "\"C");
    }
}

TEST(AssociationRules, EachBoxStandsForItsClassAndVerbs) {
    std::set<std::string> classes;
    for (const AssociationBox& box : kAssociationBoxes) {
        classes.insert(box.className);
        ASSERT_GE(box.verbCount, 1);
        if (box.controlId / 10 == 100) { // the "open" group: open verb and icon together
            EXPECT_EQ(box.verbCount, 2);
            EXPECT_EQ(box.verbs[0], kVerbOpen);
            EXPECT_EQ(box.verbs[1], kVerbIcon);
        }
    }
    EXPECT_EQ(classes, std::set<std::string>(kAssociationClasses, kAssociationClasses + kAssociationClassCount));
}

TEST(RunRule, PlainTextFilesAndUntitledDocumentsCannotRun) {
    const char* untitled = "БезИмени";
    EXPECT_FALSE(CanRunDocument(untitled, untitled));
    EXPECT_FALSE(CanRunDocument("C:\\notes.TXT", untitled));
    EXPECT_FALSE(CanRunDocument("C:\\a.txt", untitled));
    EXPECT_TRUE(CanRunDocument("C:\\run.bat", untitled));
    EXPECT_TRUE(CanRunDocument("C:\\page.htm", untitled));
    EXPECT_TRUE(CanRunDocument("a.md", untitled));
    EXPECT_TRUE(CanRunDocument(".txt", untitled)); // four characters: never "ends in" it
    EXPECT_TRUE(CanRunDocument("C:\\notes.txt2", untitled));
}

} // namespace
