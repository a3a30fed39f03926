// The recent-files list: ten slots in the settings store, their order in
// "LIST", the menu items IDM_RECENT_FIRST to IDM_RECENT_LAST and the caret remembered per file.
#pragma once

#include <cstddef>

// Puts the file first in the list (a new slot when it is not listed); a
// listed file's remembered caret is put back when `restoreCaret` is set.
void AddRecentFile(const char* path, bool restoreCaret);
// The entry at menu position i: its path (left as it was when there is none)
// and its caption (empty when there is none); both buffers of `size` bytes.
void RecentEntryCaption(int i, char* path, char* caption, size_t size);
// The path of the file the item at menu position i shows (as last read)
// into `path` (260 bytes); false while that item shows no file.
bool RecentFilePath(int i, char* path);
// Empties the slot of the file the item at menu position i shows (it could
// not be loaded).
void ForgetRecentFile(int i);
// Stores the caret of the current file in its recent-files slot.
void RememberCaretForRecentList();
// Re-reads the captions and files of the recent-file items from the stored
// list and has the menu measure them again (also each time the File menu
// opens).
void RefreshRecentItems();
// The caption of the recent-file item at menu position i (0-9), as last read;
// empty while that position holds no file.
const char* RecentItemCaption(int i);
// Forgets the captions read for the menu, as in a new process; part of
// ResetProgramState.
void ResetRecentFiles();
// Setting "RP": a recent file opens with the caret it had.
void SetRememberCaret(bool remember);
bool RememberCaret();
