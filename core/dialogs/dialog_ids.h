/* Templates and control identifiers of the character table and the file
   associations dialog, shared by the resource script, the code and the
   tests. */
#ifndef LORK2_DIALOGS_DIALOG_IDS_H
#define LORK2_DIALOGS_DIALOG_IDS_H

/* "Таблица символов"; IDOK is "Копировать напрямую", IDCANCEL "Закрыть". */
#define IDD_CHARACTER_TABLE 6
#define IDC_CHAR_TABLE 101      /* rich-edit control holding the table */
#define IDC_CHAR_TABLE_COPY 102 /* "Копировать": through the clipboard, then close */

/* "Расширения": one check box per file class and verb group. */
#define IDD_ASSOCIATIONS 9
#define IDC_ASSOC_TXT_OPEN 1001
#define IDC_ASSOC_INI_OPEN 1002
#define IDC_ASSOC_INF_OPEN 1003
#define IDC_ASSOC_BAT_EDIT 1011
#define IDC_ASSOC_CMD_EDIT 1012
#define IDC_ASSOC_REG_EDIT 1013
#define IDC_ASSOC_TXT_PRINT 1021

#endif
