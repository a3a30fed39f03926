// The texts of the Find and Replace dialog: typed text (Windows-1251) and the
// bytes of the display code page, the word at the caret, and the search
// history kept as ten entries.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The longest search or replacement text, in bytes.
constexpr std::size_t kSearchTextMax = 260;
// Entries of the own search history, "0" the newest.
constexpr std::size_t kHistoryEntries = 10;

using HistoryEntries = std::array<std::string, kHistoryEntries>;

// Typed text (Windows-1251) as the bytes of display code page `cp` (0 1251,
// 1 866, 2 KOI8-R), byte by byte through the code-page tables; 1251 stays.
std::string TypedToDisplay(std::string_view typed, int cp);
// Bytes of display code page `cp` as Windows-1251, for the dialog's field.
std::string DisplayToTyped(std::string_view shown, int cp);

// The search field's proposal from the bytes around the caret (the word's
// range, as the editor's word rule gives it): every byte of value 32 or less
// dropped, cut at the first NUL or after 260 bytes, then in Windows-1251.
std::string WordForSearchField(std::string_view range, int cp);

// The history after a search for `text`: it moves to entry 0; the entries
// above the first empty one, or above its old place when it was there
// already, move down by one; with all ten in use the oldest falls out.
HistoryEntries UpdateSearchHistory(const HistoryEntries& before, std::string_view text);
