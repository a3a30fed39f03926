// The one table of every setting: its value name, type and default when
// absent. Readers take the name and default from here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

enum class SettingType { Dword, String, Binary };

// Defaults that are not plain numbers: the system colours are read when the
// setting is.
enum class SettingDefault : int32_t {
    SystemWindowColour = -0x10000005,     // GetSysColor(COLOR_WINDOW)
    SystemWindowTextColour = -0x10000008, // GetSysColor(COLOR_WINDOWTEXT)
};

struct SettingDef {
    const char* name;
    SettingType type;
    int32_t defaultValue; // DWORD settings; 0 for strings and binaries
    int maxLength;        // strings: the longest stored text; 0 otherwise
};

namespace setting {
inline constexpr SettingDef StatusBar{"ST", SettingType::Dword, 1, 0};
inline constexpr SettingDef Toolbar{"TL", SettingType::Dword, 1, 0};
inline constexpr SettingDef BigButtons{"BIG", SettingType::Dword, 0, 0};
inline constexpr SettingDef ControlUndo{"NO", SettingType::Dword, 0, 0};
inline constexpr SettingDef RememberWindow{"AU", SettingType::Dword, 1, 0};
inline constexpr SettingDef RememberCaret{"RP", SettingType::Dword, 1, 0};
inline constexpr SettingDef WrapStyle{"WW", SettingType::Dword, 0x100080, 0};
inline constexpr SettingDef Placement{"DEF", SettingType::Binary, 0, 0};
inline constexpr SettingDef ToolbarLayout{"TBS", SettingType::Binary, 0, 0};
inline constexpr SettingDef Background{"Bk", SettingType::Dword,
                                       static_cast<int32_t>(SettingDefault::SystemWindowColour), 0};
inline constexpr SettingDef TextColour{"Cl", SettingType::Dword,
                                       static_cast<int32_t>(SettingDefault::SystemWindowTextColour), 0};
inline constexpr SettingDef HtmlColour{"HTML", SettingType::Dword, 0xFF0000, 0}; // RGB(0, 0, 255)
inline constexpr SettingDef SourceCodePage{"CP1", SettingType::Dword, 0, 0};
inline constexpr SettingDef TargetCodePage{"CP2", SettingType::Dword, 2, 0};
// "IG" defaults to 1 in the options dialog and to 0 in paragraph formatting.
inline constexpr SettingDef IgnoreLineBreaks{"IG", SettingType::Dword, 0, 0};
inline constexpr int32_t kIgnoreLineBreaksOptionsDefault = 1;
inline constexpr SettingDef FirstIndent{"FI", SettingType::Dword, 0, 0};
inline constexpr SettingDef LeftIndent{"LI", SettingType::Dword, 0, 0};
inline constexpr SettingDef RightIndent{"RI", SettingType::Dword, 80, 0};
inline constexpr SettingDef MarginLeft{"FldL", SettingType::Dword, 2500, 0};
inline constexpr SettingDef MarginTop{"FldT", SettingType::Dword, 2500, 0};
inline constexpr SettingDef MarginRight{"FldR", SettingType::Dword, 2500, 0};
inline constexpr SettingDef MarginBottom{"FldB", SettingType::Dword, 2500, 0};
inline constexpr SettingDef RecentOrder{"LIST", SettingType::String, 0, 10};

// Per display code page (0 = 1251 "W", 1 = 866 "D", 2 = KOI8-R "K").
// "SizeX" defaults to 200 in the font dialog and the size commands, and to 0
// when the display code page is applied.
SettingDef FontSize(int codePage);
inline constexpr int32_t kFontSizeApplyDefault = 0;
SettingDef FontEffects(int codePage);
SettingDef FontCharset(int codePage); // 204, 255, 1
SettingDef FontFace(int codePage);    // up to 32 characters

// Recent-file slots 0 to 9: the path ("nF") and the caret ("nFC", -1 = none).
SettingDef RecentPath(int slot);
SettingDef RecentCaret(int slot);
// Search history "0" (newest) to "9".
SettingDef SearchHistory(int index);

// Every setting, the per-code-page and numbered ones expanded.
std::span<const SettingDef> AllSettings();
} // namespace setting
