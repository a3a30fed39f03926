// Every command of the main window, one row each:
//
//   ROW(identifier, caption, handler, enabled when, checked when)
//
// The caption is the menu item's text and the toolbar button's text and
// tooltip; the first letter after the ampersand in the code-page captions is
// Cyrillic (А, О, К, Н) and the rest Latin. The handler runs the command and
// gets its identifier (nullptr: the command does nothing). "Enabled when" and
// "checked when" are rules asked whenever a popup opens and whenever the
// toolbar idles, so the menu and the toolbar always agree (nullptr: always
// enabled, never checked).
//
// The captions of IDM_WEB_PAGE and IDM_MAIL are the addresses those commands
// open and the About box shows. PLACEHOLDERS: the project has no web site or
// mail address yet, so both name the reserved example.org domain; this is
// the one place to put the real ones.
//
// The list is read twice: by the window-free menu tables for the captions
// (app/menu_tables.cpp) and by the main window for everything
// (app/command_table.cpp), so it names handlers and rules without declaring
// them.
#pragma once

#include "core/app/command_ids.h"

// clang-format off
#define LORK2_COMMAND_ROWS(ROW) \
    ROW(IDM_CUT,               "&Вырезать",                    CutCommand,            SelectionNotEmpty, nullptr) \
    ROW(IDM_COPY,              "&Копировать",                  CopyCommand,           SelectionNotEmpty, nullptr) \
    ROW(IDM_PASTE,             "Вст&авить",                    PasteCommand,          ClipboardHasText,  nullptr) \
    ROW(IDM_UNDO,              "&Отменить",                    UndoCommand,           CanUndo,           nullptr) \
    ROW(IDM_REDO,              "Ве&рнуть",                     RedoCommand,           CanRedo,           nullptr) \
    ROW(IDM_DELETE,            "&Удалить",                     DeleteCommand,         SelectionNotEmpty, nullptr) \
    ROW(IDM_NEW,               "Созд&ать",                     NewDocumentCommand,    nullptr,           nullptr) \
    ROW(IDM_OPEN,              "&Открыть...",                  OpenDocumentCommand,   nullptr,           nullptr) \
    ROW(IDM_SAVE,              "&Сохранить",                   SaveDocumentCommand,   DocumentModified,  nullptr) \
    ROW(IDM_PREVIEW,           "Пред&варительный просмотр...", PreviewCommand,        nullptr,           nullptr) \
    ROW(IDM_CHARACTER_TABLE,   "&Символ...",                   CharacterTableCommand, nullptr,           nullptr) \
    ROW(IDM_HELP,              "&Справка",                     HelpCommand,           nullptr,           nullptr) \
    ROW(IDM_FIND,              "&Найти...",                    SearchDialogCommand,   nullptr,           nullptr) \
    ROW(IDM_REPLACE,           "&Заменить...",                 SearchDialogCommand,   nullptr,           nullptr) \
    ROW(IDM_PRINT,             "&Печать...",                   PrintCommand,          nullptr,           nullptr) \
    ROW(IDM_SHOW_ANSI,         "&\xC0NSI (1251)",              DisplayCodePageCommand, nullptr,          ShowingAnsi) \
    ROW(IDM_SHOW_OEM,          "&\xCE" "EM (866)",             DisplayCodePageCommand, nullptr,          ShowingOem) \
    ROW(IDM_SHOW_KOI8,         "&\xCAOI8 R",                   DisplayCodePageCommand, nullptr,          ShowingKoi8) \
    ROW(IDM_JUSTIFY,           "По &ширине",                   ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_CENTRE,            "По &центру",                   ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_ALIGN_LEFT,        "По &левому краю",              ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_ALIGN_RIGHT,       "&По правому краю",             ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_RUN,               "В&ыполнить",                   RunCommand,            CanRunDocument,    nullptr) \
    ROW(IDM_PAGE_SETUP,        "Пара&метры страницы...",       PageSetupCommand,      nullptr,           nullptr) \
    ROW(IDM_WORD_WRAP,         "П&еренос по словам",           WordWrapCommand,       nullptr,           WordWrapOn) \
    ROW(IDM_SAVE_AS,           "Сохранить &как...",            SaveDocumentAsCommand, nullptr,           nullptr) \
    ROW(IDM_ENCODINGS,         "Выбор...",                     EncodingsDialogCommand, nullptr,           nullptr) \
    ROW(IDM_FIND_NEXT,         "Н&айти далее",                 FindNextCommand,       nullptr,           nullptr) \
    ROW(IDM_TO_ANSI,           "-> A&NSI",                     ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_TO_OEM,            "-> O&EM",                      ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_TO_KOI8,           "-> KOI8",                      ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_TO_FIDO,           "-> Fido (H,p)",                ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_TRANSLIT,          "-> Translit",                  ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_RTF_TO_ANSI,       "&RTF -> ANSI",                 ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_QUOTED_PRINTABLE,  "\"=D8=E0\"",                   ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_LINE_BREAK,        "&Line Break",                  ConvertCommand,        nullptr,           nullptr) \
    ROW(IDM_OPTIONS,           "П&араметры...",                OptionsCommand,        nullptr,           nullptr) \
    ROW(IDM_INSERT_FILE,       "&Вставить из...",              InsertFromFileCommand, nullptr,           nullptr) \
    ROW(IDM_DATE_TIME,         "&Дата и время",                DateTimeCommand,       nullptr,           nullptr) \
    ROW(IDM_FONT_ANSI,         "&\xC0NSI...",                  FontDialogCommand,     nullptr,           nullptr) \
    ROW(IDM_FONT_OEM,          "&\xCE" "EM...",                FontDialogCommand,     nullptr,           nullptr) \
    ROW(IDM_FONT_KOI8,         "&\xCAOI8...",                  FontDialogCommand,     nullptr,           nullptr) \
    ROW(IDM_EXIT,              "В&ыход",                       ExitCommand,           nullptr,           nullptr) \
    ROW(IDM_TOOLBAR_SETUP,     "Настройка &тулбара...",        CustomiseToolbarCommand, nullptr,           nullptr) \
    ROW(IDM_BACKGROUND_COLOUR, "Цвет &фона...",                BackgroundColourCommand, nullptr,           nullptr) \
    ROW(IDM_TEXT_COLOUR,       "Цвет &текста...",              TextColourCommand,     nullptr,           nullptr) \
    ROW(IDM_SELECT_ALL,        "В&ыделить все",                SelectAllCommand,      nullptr,           nullptr) \
    ROW(IDM_SIZE_UP,           "&Размер\t\t+",                 FontSizeCommand,       nullptr,           nullptr) \
    ROW(IDM_SIZE_DOWN,         "Р&азмер\t\t-",                 FontSizeCommand,       nullptr,           nullptr) \
    ROW(IDM_ABOUT,             "&О программе",                 AboutCommand,          nullptr,           nullptr) \
    ROW(IDM_HTML_COLOUR,       "&Цвет <HTML>",                 HtmlColourCommand,     nullptr,           nullptr) \
    ROW(IDM_HTML_REFRESH,      "&\xCDTML :(обновить)",         HtmlColouringCommand,  nullptr,           nullptr) \
    ROW(IDM_WEB_PAGE,          "https://lork2.example.org/",   OpenAddressCommand,    nullptr,           nullptr) \
    ROW(IDM_MAIL,              "mailto:lork2@example.org",     OpenAddressCommand,    nullptr,           nullptr) \
    ROW(IDM_ASSOCIATIONS,      "&Расширения...",               AssociationsCommand,   nullptr,           nullptr) \
    ROW(IDM_REPAIR_TEXT,       "Восстановить текст...",        RepairTextCommand,     nullptr,           nullptr) \
    ROW(IDM_TWO_KEY_ANSI,      "",                             TwoKeyCodePageCommand, nullptr,           nullptr) \
    ROW(IDM_TWO_KEY_OEM,       "",                             TwoKeyCodePageCommand, nullptr,           nullptr) \
    ROW(IDM_TWO_KEY_KOI8,      "",                             TwoKeyCodePageCommand, nullptr,           nullptr) \
    ROW(IDM_MAXIMIZE,          "",                             MaximizeCommand,       nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 0,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 1,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 2,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 3,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 4,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 5,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 6,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 7,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 8,  "",                             OpenRecentFileCommand, nullptr,           nullptr) \
    ROW(IDM_RECENT_FIRST + 9,  "",                             OpenRecentFileCommand, nullptr,           nullptr)
// clang-format on
