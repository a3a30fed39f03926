// Find and replace over the editor's text: the search state, the commands
// Find (IDM_FIND), Replace (IDM_REPLACE) and Find next (IDM_FIND_NEXT), the Find and Replace dialog and
// the "Заменить?" prompt.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/search/search_text.h"

// Alive from start to exit; nothing of it is stored in the settings.
struct SearchState {
    // What is searched for and what replaces it, in the bytes of the display
    // code page, each followed by a NUL.
    unsigned char text[kSearchTextMax + 1] = {};
    int32_t textLength = 0;
    unsigned char replacement[kSearchTextMax + 1] = {};
    int32_t replacementLength = 0;
    // Where the next step starts (downward) or below which it looks
    // (upward); -1 after a step that found nothing.
    int32_t position = 0;
    bool wholeWord = false;
    bool matchCase = false;
    bool wholeText = false;
    bool upward = false;
    bool prompt = true;      // ask before each replacement
    bool replaceMode = false; // set by the command that opened the dialog
    bool replaceAll = false;  // a replace run goes on to the next match
};
extern SearchState g_search;

// One step: finds and selects the next match and, in replace mode, asks and
// replaces it. False when nothing was searched or found, or the prompt could
// not be shown.
bool SearchStep();
// Replaces the selection (a match) by the replacement text.
void ReplaceMatch();
// A replace run: one whole-text snapshot, then steps while replace all is
// on (one step without it).
void ReplaceRun();

INT_PTR CALLBACK ReplacePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The search state of a new process (nothing searched yet); part of
// ResetProgramState.
void ResetSearchState();
