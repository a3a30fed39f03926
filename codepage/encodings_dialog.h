// The encodings dialog: converts the selection, or the whole text, from any
// of the five code pages to any other.
#pragma once

// IDM_ENCODINGS: the dialog, then the conversion of the chosen pair as one undo
// step; the display code page never changes.
void EncodingsDialogCommand(int id);
