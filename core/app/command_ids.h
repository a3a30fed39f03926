/* The identifiers of every command of the main window: menus, accelerators,
   toolbar buttons and the tests use these names. Plain defines, because the
   resource script includes this header too. */
#ifndef LORK2_APP_COMMAND_IDS_H
#define LORK2_APP_COMMAND_IDS_H

/* Menu commands. */
#define IDM_CUT 1
#define IDM_COPY 2
#define IDM_PASTE 3
#define IDM_UNDO 4
#define IDM_REDO 5
#define IDM_DELETE 6
#define IDM_NEW 7
#define IDM_OPEN 8
#define IDM_SAVE 9
#define IDM_PREVIEW 10
#define IDM_CHARACTER_TABLE 11
#define IDM_HELP 12
#define IDM_FIND 13
#define IDM_REPLACE 14
#define IDM_PRINT 15
#define IDM_SHOW_ANSI 16
#define IDM_SHOW_OEM 17
#define IDM_SHOW_KOI8 18
#define IDM_JUSTIFY 19
#define IDM_CENTRE 20
#define IDM_ALIGN_LEFT 21
#define IDM_ALIGN_RIGHT 22
#define IDM_RUN 23
#define IDM_PAGE_SETUP 24
#define IDM_WORD_WRAP 25
#define IDM_SAVE_AS 26
#define IDM_ENCODINGS 27
#define IDM_FIND_NEXT 28
#define IDM_TO_ANSI 29
#define IDM_TO_OEM 30
#define IDM_TO_KOI8 31
#define IDM_TO_FIDO 32
#define IDM_TRANSLIT 33
#define IDM_RTF_TO_ANSI 34
#define IDM_QUOTED_PRINTABLE 35
#define IDM_LINE_BREAK 36
#define IDM_OPTIONS 37
#define IDM_INSERT_FILE 38
#define IDM_DATE_TIME 39
#define IDM_FONT_ANSI 40
#define IDM_FONT_OEM 41
#define IDM_FONT_KOI8 42
#define IDM_EXIT 43
#define IDM_TOOLBAR_SETUP 44
#define IDM_BACKGROUND_COLOUR 45
#define IDM_TEXT_COLOUR 46
#define IDM_SELECT_ALL 47
#define IDM_SIZE_UP 48
#define IDM_SIZE_DOWN 49
#define IDM_ABOUT 50
#define IDM_HTML_COLOUR 51
#define IDM_HTML_REFRESH 52
#define IDM_WEB_PAGE 53
#define IDM_MAIL 54
#define IDM_ASSOCIATIONS 55
#define IDM_REPAIR_TEXT 56
#define IDM_LAST_MENU_COMMAND 56

/* Keyboard only: the two-key code-page commands (Ctrl+W, Ctrl+D, Ctrl+K) and
   maximise or restore (F4). */
#define IDM_TWO_KEY_ANSI 100
#define IDM_TWO_KEY_OEM 101
#define IDM_TWO_KEY_KOI8 102
#define IDM_MAXIMIZE 300

/* The ten recent-file items of the File menu, one range. */
#define IDM_RECENT_FIRST 900
#define IDM_RECENT_LAST 909

/* Escape closes the window through the system menu's close item. */
#define IDM_SYSTEM_CLOSE 61536

#ifndef RC_INVOKED
static_assert(IDM_RECENT_LAST - IDM_RECENT_FIRST + 1 == 10, "ten recent-file items, numbered without a gap");
static_assert(IDM_SHOW_OEM == IDM_SHOW_ANSI + 1 && IDM_SHOW_KOI8 == IDM_SHOW_ANSI + 2,
              "the display code page is the command's distance from IDM_SHOW_ANSI");
static_assert(IDM_TO_OEM == IDM_TO_ANSI + 1 && IDM_TO_KOI8 == IDM_TO_ANSI + 2,
              "the target code page is the command's distance from IDM_TO_ANSI");
static_assert(IDM_FONT_OEM == IDM_FONT_ANSI + 1 && IDM_FONT_KOI8 == IDM_FONT_ANSI + 2,
              "the font's code page is the command's distance from IDM_FONT_ANSI");
static_assert(IDM_TWO_KEY_OEM == IDM_TWO_KEY_ANSI + 1 && IDM_TWO_KEY_KOI8 == IDM_TWO_KEY_ANSI + 2,
              "the two-key code page is the command's distance from IDM_TWO_KEY_ANSI");
#endif

#endif
