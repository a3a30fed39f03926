// The menus as data: top-level captions, the caption of every command, the
// items of each popup, and the mnemonic table built from them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/app/command_ids.h"

constexpr int kPopupCount = 8;
constexpr int kCaptionCount = IDM_LAST_MENU_COMMAND; // the menu commands are 1 to IDM_LAST_MENU_COMMAND
constexpr int kRecentCount = IDM_RECENT_LAST - IDM_RECENT_FIRST + 1;
constexpr int kMenuSeparator = 0;
constexpr int kMenuBarBreakCommand = IDM_TO_ANSI; // starts the second column of its popup

constexpr bool IsRecentFileCommand(int id) { return id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST; }

extern const char* const kTopLevelCaptions[kPopupCount];

// The caption of a menu command, IDM_CUT to IDM_LAST_MENU_COMMAND (empty for the
// unused 5 and for any other identifier).
std::string_view CommandCaption(int id);

// The items of a popup in display order, top first; 0 is a separator.
std::span<const int> PopupItems(int popup);

struct MnemonicEntry {
    uint8_t popup;
    char character;
    int32_t id;
};

// The mnemonic table in insertion order: popups 0 to 7, and within each
// popup from the last item to the first (the items are inserted at the top).
std::vector<MnemonicEntry> BuildMnemonicTable();

// The mnemonic character of a caption: the character after the first
// ampersand (scanning up to the last but one character) that is not followed
// by another ampersand; 0 when there is none.
char CaptionMnemonic(std::string_view caption);

// The key a character lies on (the low byte of VkKeyScanA), or -1 when the
// keyboard layout has no key for it.
using KeyOfCharacter = int (*)(char c);
using UpperCase = char (*)(char c);
using IsCommandGrey = bool (*)(int id);

// The command of the first entry of that popup whose character lies on the
// same key as the typed one and whose item is not grey; 0 when none. When the
// layout knows no key for either character, the two characters are compared
// without case instead.
int FindMnemonicCommand(std::span<const MnemonicEntry> table, int popup, char typed, KeyOfCharacter keyOf,
                        UpperCase upper, IsCommandGrey isGrey);
