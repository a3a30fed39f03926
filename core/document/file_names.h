// Window-free rules about file names and the recent-files list: the order
// string "LIST", the choice of a slot, the menu captions, the filter table of
// the file dialogs and the name of the temporary file a save writes first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr int kRecentSlots = 10;

// The index of the last backslash of `path` at or after index `lowest`, or -1.
int LastBackslash(std::string_view path, int lowest);

// "LIST" as stored may have been edited by hand: keeps the slot digits only,
// each once, at most ten.
std::string NormaliseOrder(std::string_view order);
// `digit` at the front, its earlier occurrence removed, cut to ten.
std::string MoveToFront(std::string_view order, char digit);
// The slot for a file not yet listed: the lowest free slot (`used[d]` false),
// else the oldest of the list (its last digit). `order` is normalised.
char SlotForNewEntry(std::string_view order, const bool used[kRecentSlots]);

// The menu caption of the entry at `position` (0..9) whose path is `path`:
// "&", the position digit, a space and the file name with all but its first
// byte in lower case (Windows-1251); a name of 14 bytes or more is cut to 12
// and "...". Empty for an empty path.
std::string RecentCaption(int position, std::string_view path);

// The file dialogs' filter list: pairs of display text and patterns, each
// NUL-terminated, the list ending in a second NUL.
extern const char kFileFilters[];
constexpr int kFileFilterCount = 6;
// The default extension a filter index sets ("" for all files); null for
// index 0 or an unknown index, which leave it as it was.
const char* DefaultExtensionFor(int filterIndex);

// A name for the temporary file of a save: in the folder of `path`, differing
// with `attempt`. False when it would not fit in `capacity` bytes with its NUL.
bool TemporaryNameFor(std::string_view path, unsigned attempt, char* out, std::size_t capacity);
