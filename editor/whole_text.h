// The two ways the control's text changes: the whole text put in anew, and
// the selection replaced. Used inside editor/ only; the rest of the program
// asks the operations of editor/editor.h.
//
// Wine's control deletes text in time growing with the square of the
// paragraphs deleted, while filling an empty control and destroying a full
// one are linear. So a whole text (or a replacement of most of it) goes into
// a fresh control made beside the old one; the old one, and the text it
// held, goes only once the new one holds the new text. When no new control
// can be made, nothing has changed.
#pragma once

#include <windows.h>

#include <cstdint>

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
// the control holds text; with a `progress` always (it may stop the stream).
// False when a new control was needed and could not be made, or the
// progress stopped the stream: the text, selection and undo are as they
// were, and unless `quiet` (or stopped) the system's error is shown.
bool FillWholeText(const unsigned char* bytes, int32_t n, StreamProgress progress = nullptr, bool fresh = false,
                   bool quiet = false);

// Replaces the selection by n bytes and leaves the caret after them. With
// `controlUndo` false the control's own undo buffer is emptied, as its
// EM_REPLACESEL with wParam 0 does; the modified flag is set either way.
// Without the control's undo, a selection of the whole text (or one of more
// than 64 KB covering at least half of it) is replaced by putting the new
// text in a fresh control.
void ReplaceSelectionBytes(const unsigned char* bytes, int32_t n, bool controlUndo);

// Shows the same bytes through another display code page: the bytes out,
// then in again through a fresh control; selection, scroll position and
// modified flag are kept. False (nothing changed) when no buffer or control
// could be had or the text shown in the new code page needs more memory than
// there is (the user is told).
bool RedecodeText(int newCodePage);
