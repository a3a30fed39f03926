// The display code page applied to the editor control: font, character set
// and colour of the whole text; and the HTML tag colouring.
#pragma once

#include <windows.h>
#include <richedit.h>

// True while the text shows its HTML tags coloured: set by the colouring,
// cleared when the display code page is applied again (which paints the whole
// text in the text colour; a fresh control is applied too). Printing follows it.
extern bool g_htmlColoured;

// The character format the editor shows the current display code page in:
// face, size (left out of the mask when none is stored), bold, italic,
// character set and text colour, from the settings.
CHARFORMATA CharFormatOfDisplayCodePage();

// Gives the whole text the font, character set and colour of the current
// display code page (g_displayCodePage of the text layer).
void ApplyDisplayCodePage();
// The same, keeping the selection and the scroll position.
void ApplyDisplayCodePageKeepingView();
// Makes `codePage` (0..2) the display code page: the same bytes re-decoded,
// then applied keeping the view.
void SetDisplayCodePage(int codePage);
// Paints the text in the text colour and every tag in the HTML colour.
void ColourHtmlTags();

// The commands that show the text as 1251, 866 or KOI8-R, and HTML colouring.
void DisplayCodePageCommand(int id);
void HtmlColouringCommand(int id);
