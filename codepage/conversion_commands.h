// The conversions of the encodings and alignment menus on the document, and
// the two-key code-page commands.
#pragma once

// The first code page of a two-key command (0..2), -1 while none is pending.
extern int g_pendingSourceCodePage;
// Forgets a pending first key (a fresh Ctrl press in the editor).
void ForgetPendingFirstKey();

// Converts the selection, or the whole text when nothing is selected.
// `command`: IDM_JUSTIFY to IDM_ALIGN_RIGHT paragraph formatting, IDM_ENCODINGS
// the encodings dialog, IDM_TO_ANSI to IDM_TO_KOI8 to 1251, 866, KOI8-R,
// IDM_TO_FIDO Fido, IDM_TRANSLIT transliteration, IDM_RTF_TO_ANSI RTF to plain
// text, IDM_QUOTED_PRINTABLE quoted-printable, IDM_LINE_BREAK line-end repair. `fromTable`, `toTable`: the
// code-page tables of the table conversions (-1 none, toTable 9 Fido).
void ConvertText(int command, int fromTable, int toTable);
// The encodings dialog's pair: the selection (or the whole text) read as
// code page `source` and written as `target` (0..4 as in tables.h, or
// kEncodingUtf8 of encodings.h), as one undo step. Characters the target
// lacks become their usual substitutes, as lork2-text's conversions give them.
void ConvertCodePagePair(int source, int target);

// IDM_JUSTIFY to IDM_ALIGN_RIGHT and IDM_TO_ANSI to IDM_LINE_BREAK, with the
// tables they take from the display code page; and IDM_TWO_KEY_ANSI,
// IDM_TWO_KEY_OEM and IDM_TWO_KEY_KOI8 (Ctrl+W, Ctrl+D, Ctrl+K).
void ConvertCommand(int id);
void TwoKeyCodePageCommand(int id);
