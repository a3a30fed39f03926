#include "core/app/setting_names.h"

#include <array>

namespace setting {
namespace {

constexpr const char* kSizeNames[3] = {"SizeW", "SizeD", "SizeK"};
constexpr const char* kEffectNames[3] = {"EffW", "EffD", "EffK"};
constexpr const char* kCharsetNames[3] = {"SetW", "SetD", "SetK"};
constexpr const char* kFaceNames[3] = {"FontW", "FontD", "FontK"};
constexpr int32_t kCharsets[3] = {204, 255, 1}; // RUSSIAN, OEM, DEFAULT
constexpr const char* kPathNames[10] = {"0F", "1F", "2F", "3F", "4F", "5F", "6F", "7F", "8F", "9F"};
constexpr const char* kCaretNames[10] = {"0FC", "1FC", "2FC", "3FC", "4FC",
                                         "5FC", "6FC", "7FC", "8FC", "9FC"};
constexpr const char* kHistoryNames[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

int Clamp(int value, int last) { return value < 0 ? 0 : (value > last ? last : value); }

} // namespace

SettingDef FontSize(int cp) { return {kSizeNames[Clamp(cp, 2)], SettingType::Dword, 200, 0}; }
SettingDef FontEffects(int cp) { return {kEffectNames[Clamp(cp, 2)], SettingType::Dword, 0, 0}; }
SettingDef FontCharset(int cp) {
    return {kCharsetNames[Clamp(cp, 2)], SettingType::Dword, kCharsets[Clamp(cp, 2)], 0};
}
SettingDef FontFace(int cp) { return {kFaceNames[Clamp(cp, 2)], SettingType::String, 0, 32}; }
SettingDef RecentPath(int slot) { return {kPathNames[Clamp(slot, 9)], SettingType::String, 0, 259}; }
SettingDef RecentCaret(int slot) { return {kCaretNames[Clamp(slot, 9)], SettingType::Dword, -1, 0}; }
SettingDef SearchHistory(int i) { return {kHistoryNames[Clamp(i, 9)], SettingType::String, 0, 260}; }

std::span<const SettingDef> AllSettings() {
    static const auto table = [] {
        std::array<SettingDef, 23 + 4 * 3 + 3 * 10> all{};
        size_t n = 0;
        for (const SettingDef& d :
             {StatusBar, Toolbar, BigButtons, ControlUndo, RememberWindow, RememberCaret, WrapStyle,
              Placement, ToolbarLayout, Background, TextColour, HtmlColour, SourceCodePage,
              TargetCodePage, IgnoreLineBreaks, FirstIndent, LeftIndent, RightIndent, MarginLeft,
              MarginTop, MarginRight, MarginBottom, RecentOrder})
            all[n++] = d;
        for (int cp = 0; cp < 3; ++cp) {
            all[n++] = FontSize(cp);
            all[n++] = FontEffects(cp);
            all[n++] = FontCharset(cp);
            all[n++] = FontFace(cp);
        }
        for (int i = 0; i < 10; ++i) {
            all[n++] = RecentPath(i);
            all[n++] = RecentCaret(i);
            all[n++] = SearchHistory(i);
        }
        return all;
    }();
    return table;
}

} // namespace setting
