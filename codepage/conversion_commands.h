// The conversions of the encodings and alignment menus on the document, and
// the two-key code-page commands.
#pragma once

// The first code page of a two-key command (0..2), -1 while none is pending.
extern int g_pendingSourceCodePage;
// Forgets a pending first key (a fresh Ctrl press in the editor).
void ForgetPendingFirstKey();

// Converts the selection, or the whole text when nothing is selected.
// `command`: 19-22 paragraph formatting, 27 the encodings dialog, 29-31 to
// 1251, 866, KOI8-R, 32 Fido, 33 transliteration, 34 RTF to plain text,
// 35 quoted-printable, 36 line-end repair. `fromTable`, `toTable`: the
// code-page tables of the table conversions (-1 none, toTable 9 Fido).
void ConvertText(int command, int fromTable, int toTable);

// Commands 19-22 and 29-36, with the tables they take from the display code
// page; and commands 100-102 (Ctrl+W, Ctrl+D, Ctrl+K).
void ConvertCommand(int id);
void TwoKeyCodePageCommand(int id);
