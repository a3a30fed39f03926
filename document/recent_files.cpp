// The recent-files list: ten slots in the settings store, their order in
// "LIST", the menu items IDM_RECENT_FIRST to IDM_RECENT_LAST and the caret remembered per file.
#include "document/recent_files.h"

#include <windows.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/document/file_names.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace {

// The captions of the recent-file items and the files they name, read when
// the list changes and whenever the File menu opens (another instance may
// have changed the stored list): an item opens the file its caption shows.
char g_recentCaptions[kRecentSlots][64];
char g_recentPaths[kRecentSlots][kPathSize];
bool g_rememberCaret; // "RP"

std::string ReadOrder() {
    char order[64]; // room for a hand-edited value; only ten digits are kept
    ReadSettingString(setting::RecentOrder.name, order, sizeof order);
    return NormaliseOrder(order);
}

void ReadSlotPath(char digit, char* path) {
    ReadSettingString(setting::RecentPath(digit - '0').name, path, kPathSize);
}

// The short form of an existing file; false when there is none that fits.
bool ShortFormOf(const char* path, char* out) {
    if (!path[0]) return false;
    const DWORD n = GetShortPathNameA(path, out, kPathSize);
    return n != 0 && n < kPathSize;
}

bool SameFileAs(const char* shortForm, const char* entry) {
    char other[kPathSize];
    return ShortFormOf(entry, other) && lstrcmpiA(other, shortForm) == 0;
}

bool OnFixedDrive(const char* path) {
    if (!path[0]) return false;
    const char root[4] = {path[0], ':', '\\', '\0'};
    return GetDriveTypeA(root) == DRIVE_FIXED;
}

} // namespace

void AddRecentFile(const char* path, bool restoreCaret) {
    if (!path || strnlen(path, kPathSize) >= kPathSize) return;
    if (!OnFixedDrive(path) || strchr(path, '$')) return;
    char shortForm[kPathSize];
    if (!ShortFormOf(path, shortForm)) return;
    std::string order = ReadOrder();
    bool used[kRecentSlots] = {};
    for (size_t p = 0; p < order.size(); ++p) {
        const char d = order[p];
        char entry[kPathSize];
        ReadSlotPath(d, entry);
        if (!entry[0]) continue;
        used[d - '0'] = true;
        if (!SameFileAs(shortForm, entry)) continue;
        if (restoreCaret && EditorWindow()) {
            const int32_t caret = ReadSettingDword(setting::RecentCaret(d - '0').name, -1);
            if (caret >= 0) SetSelection(EditorWindow(), caret, caret);
        }
        if (p == 0) return;
        WriteSettingString(setting::RecentOrder.name, MoveToFront(order, d).c_str());
        RefreshRecentItems();
        return;
    }
    const char d = SlotForNewEntry(order, used);
    WriteSettingDword(setting::RecentCaret(d - '0').name, 0);
    WriteSettingString(setting::RecentPath(d - '0').name, path);
    WriteSettingString(setting::RecentOrder.name, MoveToFront(order, d).c_str());
    RefreshRecentItems();
}

void RememberCaretForRecentList() {
    if (!EditorWindow()) return;
    char shortForm[kPathSize];
    if (!ShortFormOf(g_document.fileName, shortForm)) return;
    for (int k = 0; k < kRecentSlots; ++k) {
        char entry[kPathSize];
        ReadSlotPath(static_cast<char>('0' + k), entry);
        if (!SameFileAs(shortForm, entry)) continue;
        WriteSettingDword(setting::RecentCaret(k).name, GetSelection(EditorWindow()).cpMin);
        return;
    }
}

void RecentEntryCaption(int i, char* path, char* caption, size_t size) {
    if (size == 0) return;
    caption[0] = '\0';
    const std::string order = ReadOrder();
    if (i < 0 || static_cast<size_t>(i) >= order.size()) return;
    char entry[kPathSize];
    ReadSlotPath(order[static_cast<size_t>(i)], entry);
    lstrcpynA(path, entry, static_cast<int>(size));
    if (!entry[0]) return;
    lstrcpynA(caption, RecentCaption(i, entry).c_str(), static_cast<int>(size));
}

void RefreshRecentItems() {
    for (int i = 0; i < kRecentSlots; ++i) {
        g_recentPaths[i][0] = '\0';
        RecentEntryCaption(i, g_recentPaths[i], g_recentCaptions[i], sizeof g_recentCaptions[i]);
        if (!g_recentCaptions[i][0]) g_recentPaths[i][0] = '\0';
    }
    if (!g_shell.menuBar) return;
    for (UINT id = IDM_RECENT_LAST; id >= IDM_RECENT_FIRST; --id)
        ModifyMenuA(g_shell.menuBar, id, MF_BYCOMMAND | MF_OWNERDRAW, id, nullptr);
}

const char* RecentItemCaption(int i) { return i >= 0 && i < kRecentSlots ? g_recentCaptions[i] : ""; }

bool RecentFilePath(int i, char* path) {
    path[0] = '\0';
    if (i < 0 || i >= kRecentSlots) return false;
    lstrcpynA(path, g_recentPaths[i], kPathSize);
    return path[0] != '\0';
}

void ForgetRecentFile(int i) {
    if (i < 0 || i >= kRecentSlots || !g_recentPaths[i][0]) return;
    // The slot that holds the item's file now, wherever the list has put it.
    const std::string order = ReadOrder();
    for (const char d : order) {
        char entry[kPathSize];
        ReadSlotPath(d, entry);
        if (lstrcmpiA(entry, g_recentPaths[i]) == 0) WriteSettingString(setting::RecentPath(d - '0').name, "");
    }
    RefreshRecentItems();
}

void ResetRecentFiles() {
    memset(g_recentCaptions, 0, sizeof g_recentCaptions);
    g_rememberCaret = false;
}

void SetRememberCaret(bool remember) { g_rememberCaret = remember; }

bool RememberCaret() { return g_rememberCaret; }
