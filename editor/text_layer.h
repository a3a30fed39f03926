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
// True when something is selected. Wine's EM_SELECTIONTYPE takes time
// growing with the square of the selection (minutes for a whole text of a
// few hundred kilobytes), so it is never used.
bool HasSelection(HWND editor);

// The whole text (or the selection) as bytes into `buffer`; never more than
// `capacity` bytes are written. Returns the number written.
int32_t StreamBytesOut(HWND editor, bool selectionOnly, unsigned char* buffer, int32_t capacity);
// `flags`: SF_TEXT replaces the whole text, SF_TEXT | SFF_SELECTION the
// selection, SF_RTF has the control read the bytes as RTF.
void StreamBytesIn(HWND editor, UINT flags, const unsigned char* bytes, int32_t n);
// The same for a rich-edit control that shows its bytes in a code page of
// its own (0..2), whatever the display code page is: the font dialog's
// preview of another code page's sample.
// Returns false when the stream progress stopped the stream.
bool StreamBytesInAs(HWND control, int codePage, UINT flags, const unsigned char* bytes, int32_t n);
// Wine's control deletes text in time growing with the square of the number
// of paragraphs (20 MB of text never goes), while filling an empty control
// and destroying a full one are linear. So the whole text is replaced in a
// fresh control when its owner can make one: the maker puts an empty control
// with the font of the current display code page in place of `editor` and
// returns it, or returns `editor` itself when it cannot (or will not).
using FreshControlMaker = HWND (*)(HWND editor);
void SetFreshControlMaker(FreshControlMaker maker);
// Called while a long stream goes into the control, about every megabyte,
// with the bytes handed over so far and the total; nullptr for none. It must
// not touch the control being filled. Returning false stops the stream: the
// control keeps what it had been handed (a load puts it aside).
using StreamProgress = bool (*)(int32_t done, int32_t total);
void SetStreamProgress(StreamProgress progress);
// Replaces the whole text by n bytes, caret at 0, the control's undo buffer
// empty. Returns the control now holding the text: a fresh one (with the font
// of the display code page already applied) or `editor`.
HWND ReplaceAllBytes(HWND editor, const unsigned char* bytes, int32_t n);
// The bytes of [first, last), clipped to the text, into `buffer` (at most
// `capacity`). Returns the number written. The selection is not touched.
int32_t GetRangeBytes(HWND editor, int32_t first, int32_t last, unsigned char* buffer, int32_t capacity);
// Replaces the selection by n bytes and leaves the caret after them. With
// `controlUndo` false the control's own undo buffer is emptied, as its
// EM_REPLACESEL with wParam 0 does; the modified flag is set either way.
// Without the control's undo, a selection of the whole text (or one of more
// than 64 KB covering at least half of it) is replaced by putting the new
// text in a fresh control as ReplaceAllBytes does, so `editor` may be
// destroyed: callers go on with the owner's handle.
void ReplaceSelectionBytes(HWND editor, const unsigned char* bytes, int32_t n, bool controlUndo);
// The first match of `needle` inside [first, last) (last -1: the end), with
// FR_MATCHCASE and FR_WHOLEWORD judged by the display code page; -1 if none.
// The range is read in growing pieces from `first` on, the first of
// `firstPiece` bytes (at least 64 KB): the cost follows the distance to the
// match, and a search of the whole text holds one piece at a time.
int32_t FindBytes(HWND editor, int32_t first, int32_t last, const unsigned char* needle, int32_t m, unsigned flags,
                  int32_t firstPiece = 64 * 1024);
// Reads [first, last) by selecting it: the control hands out a selection's
// text from its own cursors, so the read costs the one walk from the start
// of the text that placing the selection takes, where a text range walks
// there twice (to its start and to its end). The range stays selected (the
// caller selects what is to be shown next); the view is kept. An end the
// control moves to the start of a line break (it keeps a selection's ends
// out of a CR LF and a CR CR LF) is mended from the CRs it passed over.
// Returns the bytes read, or -1 when what the control selected cannot be
// read back as the range or the text could not be had: the caller then
// reads another way.
int32_t ReadRangeBySelecting(HWND editor, int32_t first, int32_t last, unsigned char* buffer);
// WB_MOVEWORDLEFT or WB_MOVEWORDRIGHT from `pos`, by the editor's word rule.
int32_t FindWordBreak(HWND editor, int direction, int32_t pos);

// Shows the same bytes through another display code page: the bytes out,
// then in again through ReplaceAllBytes with redrawing off; selection,
// scroll position and modified flag are kept. Returns the control now
// holding the text (see ReplaceAllBytes), or nullptr (nothing changed) when
// no buffer could be had or the text shown in the new code page needs more
// memory than there is (the user is told).
HWND RedecodeText(HWND editor, int newCodePage);
// Sets the decoding for text that replaces the whole document right after
// (the control's current text is not re-decoded).
void SetDecodingForNewText(int newCodePage);
