// The two ways the control's text changes: the whole text put in anew, and
// the selection replaced. Used inside editor/ only; the rest of the program
// asks the operations of editor/editor.h.
//
// Wine's control deletes text in time growing with the square of the
// paragraphs deleted, while filling an empty control and destroying a full
// one are linear. So a whole text (or a replacement of most of it) goes into
// a fresh control: the old document is copied into the editor's memory, the
// new control is made (nothing has changed when it cannot be), the old one
// is destroyed, and only then is the new one filled. A fill that is stopped
// or cut short puts the copy back in another fresh control.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/heap_block.h"
#include "editor/control.h"
#include "editor/text_layer.h"

// Makes a new, empty, hidden control where the editor stands, with the
// editor's style, limits, colours and the font of the display code page,
// subclassed; null (the last error set) when the window cannot be made. Set
// at start-up by the editor's window code.
using ControlMaker = HWND (*)();
void SetControlMaker(ControlMaker maker);

// Puts n bytes in place of the whole text, shown through the display code
// page, caret at 0, the control's undo buffer empty, the code-page field
// told. With `fresh` always in a new control (a new style), else only when
// the control holds text. `old`, when given, is the control's text as the
// caller read it (oldLength bytes), copied instead of read again.
// False when a new control was needed and could not be made (unless
// `quiet` the system's error is shown), or the progress stopped the
// stream, or the control did not take all the bytes: the text, display
// code page, word wrap, selection, view, modified flag and the undo history
// are as they were (after a stop, in a new control whose own undo buffer is
// empty). Should that control not be had either, the document is held in
// the editor's memory with no control (HeldDocument), and the user told.
// In a Unicode document the stand-ins of the new bytes take the units of
// `foreign`, or without it those of the text they replace, in order (a
// command that works on the bytes hands its stand-ins back in order).
bool FillWholeText(const unsigned char* bytes, int32_t n, StreamProgress progress = nullptr, bool fresh = false,
                   bool quiet = false, const unsigned char* old = nullptr, int32_t oldLength = 0,
                   const ForeignUnits* foreign = nullptr);

// A document as the editor keeps it aside: its bytes, the code page they are
// shown in, its control's word wrap, selection, first visible line and
// modified flag. (Overwrite mode and the undo history are the editor's own
// and outlive every control.)
struct KeptDocument {
    HeapBuffer bytes;
    int32_t n = 0;
    int codePage = 0;
    bool unicode = false;  // a Unicode document's text, with its foreign units
    ForeignUnits foreign;
    DWORD wrapStyle = kWrapOffStyle;
    CHARRANGE selection{0, 0};
    LRESULT firstLine = 0;
    BOOL modified = FALSE;
};
// The document while no control shows it (a fill failed and so did putting
// the old text back: the memory ran out), else null. It is saved from here,
// shown again by a display switch, and replaced by the next document put in.
KeptDocument* HeldDocument();
// Drops it (the program's state reset).
void ForgetHeldDocument();

// Replaces the selection by n bytes and leaves the caret after them. With
// `controlUndo` false the control's own undo buffer is emptied, as its
// EM_REPLACESEL with wParam 0 does; the modified flag is set either way.
// Without the control's undo, a selection of the whole text (or one of more
// than 64 KB covering at least half of it) is replaced by putting the new
// text in a fresh control.
// In a Unicode document the stand-ins of the bytes take the units of
// `foreign`, or without it those of the selection they replace, in order.
void ReplaceSelectionBytes(const unsigned char* bytes, int32_t n, bool controlUndo,
                           const ForeignUnits* foreign = nullptr);

// Shows the same bytes through another display code page: the bytes out,
// then in again through a fresh control; selection, scroll position and
// modified flag are kept. False (nothing changed) when no buffer or control
// could be had or the text shown in the new code page needs more memory than
// there is (the user is told).
bool RedecodeText(int newCodePage);
