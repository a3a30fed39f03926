/* The dialog templates of find and replace and their controls: shared by the
   resource script, the code and the tests. Plain defines, because the
   resource script includes this header too. */
#ifndef LORK2_SEARCH_SEARCH_IDS_H
#define LORK2_SEARCH_SEARCH_IDS_H

/* The Find and Replace dialog. */
#define IDD_SEARCH 1
#define IDC_SEARCH_TEXT 101       /* editable combo box: search text and history */
#define IDC_WHOLE_WORD 102
#define IDC_MATCH_CASE 103
#define IDC_WHOLE_TEXT 104
#define IDC_UPWARD 105
#define IDC_HEX_SEARCH 107        /* search bytes in hex */
#define IDC_HEX 108               /* "Hex:" push-like check box */
#define IDC_REPLACEMENT 109
#define IDC_HEX_REPLACEMENT 110
#define IDC_PROMPT 111
#define IDC_REPLACEMENT_LABEL 112
#define IDC_REPLACE_ALL 6         /* confirm and replace all */

/* The "Заменить?" prompt; Escape and the close box answer "&Нет". */
#define IDD_REPLACE_PROMPT 3
#define IDC_ANSWER_REPLACE 1
#define IDC_ANSWER_SKIP 2
#define IDC_ANSWER_ALL 6
#define IDC_ANSWER_STOP 7

#endif
