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

// True when the last component of `path` is a name Windows keeps for a
// device in every folder: CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$
// and CONOUT$, in any letter case, with or without an extension ("nul.txt")
// and trailing dots or blanks. Such a name never reaches a file on disk.
bool IsDeviceName(std::string_view path);

// A save or load error as the user reads it: the file name, a colon and the
// system's message without its line end and final period, its first letter
// made small when the second is small too ("C:\a.txt: доступ запрещён").
std::string FileErrorText(std::string_view path, std::string_view systemText);
