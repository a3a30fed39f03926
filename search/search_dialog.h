// The Find and Replace dialog and the commands that open it: above the
// search steps of search.h, which never call up into the dialog.
#pragma once

#include <windows.h>

// The Find or Replace dialog (as g_search.replaceMode says); IDOK when it
// filled the search state.
INT_PTR RunFindDialog();
// Shows the dialog for the current replace mode; after OK or "Все" runs
// the search from the selection (or from an end of the text).
void RunSearchDialog();
// Repeats the last kind of operation from the search position; the dialog
// when nothing more is found.
void FindNext();

// IDM_FIND, IDM_REPLACE and IDM_FIND_NEXT.
void SearchDialogCommand(int id);
void FindNextCommand(int id);
