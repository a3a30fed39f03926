#include "base/settings.h"
#include "core/app/setting_names.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

class Settings : public testing::Test {
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

    static void StoreRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key), ERROR_SUCCESS);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
};

// A value no setting holds: a read that returns it found nothing stored.
constexpr int32_t kNothingStored = -123457;

TEST_F(Settings, FreshUserReadsEveryDefault) {
    for (const SettingDef& def : setting::AllSettings()) {
        SCOPED_TRACE(def.name);
        if (def.type == SettingType::Dword) {
            // Nothing is stored for a fresh user, so the table's default is what is read.
            EXPECT_EQ(ReadSettingDword(def.name, kNothingStored), kNothingStored);
            const bool systemColour =
                def.defaultValue == static_cast<int32_t>(SettingDefault::SystemWindowColour) ||
                def.defaultValue == static_cast<int32_t>(SettingDefault::SystemWindowTextColour);
            if (!systemColour) {
                EXPECT_EQ(ReadSetting(def), def.defaultValue);
            }
        } else if (def.type == SettingType::String) {
            char buffer[300] = "junk";
            ReadSettingString(def.name, buffer, sizeof buffer);
            EXPECT_STREQ(buffer, "");
        }
    }
    EXPECT_EQ(ReadSetting(setting::TextColour), static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT)));
    EXPECT_EQ(ReadSetting(setting::Background), static_cast<int32_t>(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(ReadSetting(setting::FontSize(1)), 200);
}

TEST_F(Settings, WrittenValuesReadBack) {
    WriteSettingDword("ST", 0);
    WriteSettingDword("RI", 72);
    WriteSettingDword("TL", -1);
    WriteSettingString("FontW", "Liberation Mono");
    EXPECT_EQ(ReadSettingDword("ST", kNothingStored), 0);
    EXPECT_EQ(ReadSettingDword("RI", kNothingStored), 72);
    EXPECT_EQ(ReadSettingDword("TL", kNothingStored), -1);
    EXPECT_EQ(ReadSetting(setting::RightIndent), 72);
    char face[33];
    ReadSettingString("FontW", face, sizeof face);
    EXPECT_STREQ(face, "Liberation Mono");
}

TEST_F(Settings, DwordStoredAsLongerValueReadsAsDefault) {
    StoreRaw("TL", REG_SZ, "longer than four", 17);
    EXPECT_EQ(ReadSettingDword("TL", kNothingStored), kNothingStored);
}

TEST_F(Settings, StringLongerThanBufferReadsAsEmpty) {
    WriteSettingString("FontD", "0123456789012345678901234567890123456789");
    char face[32] = "junk";
    ReadSettingString("FontD", face, sizeof face);
    EXPECT_STREQ(face, "");
}

TEST_F(Settings, StringWithoutTerminatorIsTerminated) {
    StoreRaw("FontK", REG_SZ, "Mono", 4); // no NUL stored
    char face[33];
    memset(face, 'x', sizeof face);
    ReadSettingString("FontK", face, sizeof face);
    EXPECT_STREQ(face, "Mono");
    // Exactly as long as the buffer and unterminated: too long.
    StoreRaw("FontK", REG_SZ, "abcd", 4);
    char small[4];
    ReadSettingString("FontK", small, sizeof small);
    EXPECT_STREQ(small, "");
}

TEST_F(Settings, BinaryValueOnlyWithExactSize) {
    unsigned char data[44] = {1, 2, 3};
    WriteSettingBinary("DEF", data, 44);
    unsigned char back[44] = {};
    EXPECT_TRUE(ReadSettingBinary("DEF", back, 44));
    EXPECT_EQ(memcmp(data, back, 44), 0);
    unsigned char longer[45] = {};
    WriteSettingBinary("DEF", longer, 45);
    EXPECT_FALSE(ReadSettingBinary("DEF", back, 44));
    WriteSettingBinary("DEF", longer, 43);
    EXPECT_FALSE(ReadSettingBinary("DEF", back, 44));
}

} // namespace
