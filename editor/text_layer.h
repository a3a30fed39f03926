// The one way the program reads and changes the document text. The editor
// control keeps UTF-16; the document is bytes. Every byte is one UTF-16 unit
// in the control, decoded through the display code page's map, so positions
// are byte positions and CR LF counts 2. Outside this module only bytes are
// seen.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>

// The display code page the control's text is decoded with: 0 = 1251,
// 1 = 866, 2 = KOI8-R. Changed only by RedecodeText and, when the whole
// text is about to be replaced, SetDecodingForNewText.
extern int g_displayCodePage;

// Text length in bytes.
int32_t TextLength(HWND editor);
// The selection [cpMin, cpMax), clipped to the text.
CHARRANGE GetSelection(HWND editor);
void SetSelection(HWND editor, int32_t start, int32_t end);

// The whole text (or the selection) as bytes into `buffer`; never more than
// `capacity` bytes are written. Returns the number written.
int32_t StreamBytesOut(HWND editor, bool selectionOnly, unsigned char* buffer, int32_t capacity);
// `flags`: SF_TEXT replaces the whole text, SF_TEXT | SFF_SELECTION the
// selection, SF_RTF has the control read the bytes as RTF.
void StreamBytesIn(HWND editor, UINT flags, const unsigned char* bytes, int32_t n);
// Replaces the whole text by n bytes (the caret at 0).
void ReplaceAllBytes(HWND editor, const unsigned char* bytes, int32_t n);
// The bytes of [first, last), clipped to the text, into `buffer` (at most
// `capacity`). Returns the number written. The selection is not touched.
int32_t GetRangeBytes(HWND editor, int32_t first, int32_t last, unsigned char* buffer, int32_t capacity);
// Replaces the selection by n bytes and leaves the caret after them. With
// `controlUndo` false the control's own undo buffer is emptied, as its
// EM_REPLACESEL with wParam 0 does; the modified flag is set either way.
void ReplaceSelectionBytes(HWND editor, const unsigned char* bytes, int32_t n, bool controlUndo);
// The first match of `needle` inside [first, last) (last -1: the end), with
// FR_MATCHCASE and FR_WHOLEWORD judged by the display code page; -1 if none.
int32_t FindBytes(HWND editor, int32_t first, int32_t last, const unsigned char* needle, int32_t m, unsigned flags);
// WB_MOVEWORDLEFT or WB_MOVEWORDRIGHT from `pos`, by the editor's word rule.
int32_t FindWordBreak(HWND editor, int direction, int32_t pos);

// Shows the same bytes through another display code page: one stream out
// and in with redrawing off; selection, scroll position and modified flag
// are kept. False (nothing changed) when no buffer could be had.
bool RedecodeText(HWND editor, int newCodePage);
// Sets the decoding for text that replaces the whole document right after
// (the control's current text is not re-decoded).
void SetDecodingForNewText(int newCodePage);
