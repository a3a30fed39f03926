// The font of each display code page: the dialog that chooses face, size,
// character set, bold and italic with a live preview, and its commands.
#pragma once

// Runs the font dialog for code page 0 (1251), 1 (866) or 2 (KOI8-R); on
// "ОК" stores the choice and applies the display code page keeping the
// view. True when the user confirmed.
bool RunFontDialog(int codePage);

// IDM_FONT_ANSI, IDM_FONT_OEM and IDM_FONT_KOI8: the font dialog of 1251, 866 and KOI8-R.
void FontDialogCommand(int id);
