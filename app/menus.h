// The menu bar, its eight popups and the owner-drawn items.
#pragma once

#include <windows.h>

#include <vector>

#include "core/app/menu_tables.h"

extern std::vector<MnemonicEntry> g_mnemonics;

// Builds the bar, the popups and the mnemonic table and attaches the bar.
void BuildMenus();
// The popups, the last first.
void DestroyMenus();
// The text an owner-drawn item shows: the command's caption or the
// recent-file caption.
const char* MenuItemText(UINT id);
void MeasureMenuItem(MEASUREITEMSTRUCT* mis);
void DrawMenuItem(const DRAWITEMSTRUCT* dis);
// WM_MENUCHAR: runs the first matching, enabled entry of that popup.
LRESULT HandleMenuChar(WPARAM wParam, LPARAM lParam);
