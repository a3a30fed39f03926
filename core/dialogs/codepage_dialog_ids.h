/* Templates and control identifiers of the font and encodings dialogs,
   shared by the resource script, the code and the tests. */
#ifndef LORK2_CODEPAGE_DIALOG_IDS_H
#define LORK2_CODEPAGE_DIALOG_IDS_H

/* "Шрифт": the font of one code page. */
#define IDD_FONT 4
#define IDC_FONT_PREVIEW 100 /* rich-edit control showing the sample */
#define IDC_FONT_FACE 101
#define IDC_FONT_CHARSET 102
#define IDC_FONT_SIZE 103
#define IDC_FONT_BOLD 104
#define IDC_FONT_ITALIC 105

/* "Кодировки": any of the five code pages to any other; button IDOK is "=>". */
#define IDD_ENCODINGS 8
#define IDC_ENCODINGS_SOURCE 101
#define IDC_ENCODINGS_TARGET 102

/* The Save As dialog's own part: how the file is written. */
#define IDD_SAVE_ENCODING 20
#define IDC_SAVE_ENCODING 101

/* "Восстановить текст": the readings of garbled text, best first, and a
   preview of the chosen one; IDOK puts it in. */
#define IDD_REPAIR 10
#define IDC_REPAIR_READINGS 101
#define IDC_REPAIR_PREVIEW 102
#define IDC_REPAIR_VERDICT 103
#define IDC_REPAIR_PREVIEW_CAPTION 104

#endif
