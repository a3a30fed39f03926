// The process-wide state every part of the program reads: the shell's record
// (the instance, the main window and its menus, the icons, the limits) and
// the document's (its file). The shell (app/) makes and writes the first at
// start-up, the document code (document/) alone writes the second; every
// other folder only reads them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/app/menu_tables.h"
#include "core/unicode/unicode_file.h"

constexpr int kPathSize = 260;

struct Shell {
    HINSTANCE instance = nullptr;
    HANDLE heap = nullptr; // the program's heap (heap_block.h)
    bool nt = false;       // Windows NT or later: Unicode on the clipboard
    HWND mainWindow = nullptr;
    HWND markerWindow = nullptr; // the single-instance marker
    HICON largeIcon = nullptr;
    HICON smallIcon = nullptr;
    HICON htmlIcon = nullptr;
    HFONT menuFont = nullptr;
    // The 16 by 16 images of the menu items and the code-page field: the
    // common controls' standard strip and the program's own.
    HBITMAP menuImagesStandard = nullptr;
    HBITMAP menuImagesOwn = nullptr;
    HACCEL accelerators = nullptr;
    // The menu bar and its popups in bar order; popup 1 ("&Правка") is also
    // the editor's right-click menu, popup 5 ("&Кодировки") the code-page
    // field's.
    HMENU menuBar = nullptr;
    HMENU popups[kPopupCount] = {};
    HMODULE richEditLibrary = nullptr; // riched32, loaded at start-up
    int32_t sizeLimit = 0;             // the most bytes a document may have
};
extern Shell g_shell;

struct Document {
    char fileName[kPathSize] = {}; // "БезИмени" while the document has no file
    // How the file is written: the code page's bytes as shown, or the
    // Unicode encoding it was read from (or chosen in Save As).
    FileEncoding encoding = FileEncoding::Bytes;
    // Why a file that looked like Unicode was opened as bytes ("" when not).
    char note[160] = {};
};
extern Document g_document;

extern const char kMainClassName[];   // "LORK2"
extern const char kMarkerClassName[]; // "Lork2 - RuleZ"
extern const char kUntitledName[];    // "БезИмени"
