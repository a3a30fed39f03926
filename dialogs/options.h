// The options dialog (IDM_OPTIONS): which bars are shown and how large the
// buttons are, undo, what is remembered between runs, and the paragraph
// measures of the alignment commands.
#pragma once

#include <windows.h>

void OptionsCommand(int id);
