// The repair of garbled text: the dialog that shows the readings the text
// may have gone through, and puts the chosen one in.
#pragma once

// IDM_REPAIR_TEXT, on the selection or (nothing selected) the whole text.
// Only the start of the text is read to find the readings, so the dialog
// opens at once on a long document; the chosen reading is applied to the
// whole range on OK, as one undo step. The whole text goes into the display
// code page when that holds every character of the result, else into the
// first of 1251, 866 and KOI8-R that does, and the display switches to it
// as a whole-text conversion switches it. A selection cannot take another
// code page than the rest of the text: it goes into the display code page,
// with the usual substitutes for what that lacks.
void RepairTextCommand(int id);
