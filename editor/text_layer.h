// The one way the program reads and changes the document text. The editor
// control keeps UTF-16; the document is bytes. Every byte is one UTF-16 unit
// in the control, decoded through the display code page's map, so positions
// are byte positions and CR LF counts 2. Outside this module only bytes are
// seen. A Unicode document's units that are no character of the display
// code page (foreign units) read as stand-in bytes; a reader that writes the
// text back takes the units beside the bytes (`foreign`), and a writer hands
// them back in order for the stand-ins of what it puts in
// (core/unicode/foreign_units.h).
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>

#include "core/unicode/foreign_units.h"

// Text length in bytes.
int32_t TextLength(HWND editor);
// The selection [cpMin, cpMax), clipped to the text.
CHARRANGE GetSelection(HWND editor);
// In a Unicode document, an end of the editor's selection between the two
// halves of a character beyond the BMP moves out to take it whole, so that
// no edit of the user's leaves half of one.
void SelectWholeCharacters(HWND editor);
void SetSelection(HWND editor, int32_t start, int32_t end);
// True when something is selected. Wine's EM_SELECTIONTYPE takes time
// growing with the square of the selection (minutes for a whole text of a
// few hundred kilobytes), so it is never used.
bool HasSelection(HWND editor);

// The whole text (or the selection) as bytes into `buffer`; never more than
// `capacity` bytes are written. Returns the number written.
// With `foreign`, a Unicode document's foreign units are appended to it;
// -1 (the last error set) when there is no memory for them.
int32_t StreamBytesOut(HWND editor, bool selectionOnly, unsigned char* buffer, int32_t capacity,
                       ForeignUnits* foreign = nullptr);
// The same, the editor's whole text read as it was put in: through code
// page `codePage` (0..2), as a Unicode document's when `unicode`.
int32_t StreamBytesOutAs(HWND editor, int codePage, bool unicode, unsigned char* buffer, int32_t capacity,
                         ForeignUnits* foreign = nullptr);
// Called while a long stream goes into a control, about every megabyte,
// with the bytes handed over so far and the total. It must not touch the
// control being filled. Returning false stops the stream: the control keeps
// what it had been handed (the caller puts that control aside).
using StreamProgress = bool (*)(int32_t done, int32_t total);
// `flags`: SF_TEXT replaces the whole text, SF_TEXT | SFF_SELECTION the
// selection, SF_RTF has the control read the bytes as RTF. The bytes are
// decoded through the display code page.
// Returns false when the progress stopped the stream. In a Unicode
// document each stand-in takes the next unit of `foreign` (with none left,
// or no cursor, it is its own character).
bool StreamBytesIn(HWND editor, UINT flags, const unsigned char* bytes, int32_t n, StreamProgress progress = nullptr,
                   ForeignCursor* foreign = nullptr);
// The same for a rich-edit control other than the editor's that shows its
// bytes in a code page of its own (0..2), whatever the display code page
// is: the font dialog's preview of another code page's sample.
bool StreamBytesInAs(HWND control, int codePage, UINT flags, const unsigned char* bytes, int32_t n,
                     StreamProgress progress = nullptr);
// The bytes of [first, last), clipped to the text, into `buffer` (at most
// `capacity`), and a Unicode document's foreign units into `foreign`.
// Returns the number written (-1: no memory for the units). The selection
// is not touched.
int32_t GetRangeBytes(HWND editor, int32_t first, int32_t last, unsigned char* buffer, int32_t capacity,
                      ForeignUnits* foreign = nullptr);
// n bytes as the editor's control holds them, for EM_SETTEXTEX: through the
// display map, or in a Unicode document as its characters with the units
// of `foreign` for the stand-ins.
void BytesToControlUnits(const unsigned char* bytes, int32_t n, char16_t* units, ForeignCursor* foreign = nullptr);
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
int32_t ReadRangeBySelecting(HWND editor, int32_t first, int32_t last, unsigned char* buffer,
                             ForeignUnits* foreign = nullptr);
// WB_MOVEWORDLEFT or WB_MOVEWORDRIGHT from `pos`, by the editor's word rule.
int32_t FindWordBreak(HWND editor, int direction, int32_t pos);

// Sets the decoding for text that replaces the whole document right after
// (the control's current text is not re-decoded).
void SetDecodingForNewText(int newCodePage);
