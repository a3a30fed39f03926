// The display code page applied to the editor control: font, character set
// and colour of the whole text; and the HTML tag colouring.
#pragma once

#include <windows.h>
#include <richedit.h>

// The character format the editor shows the current display code page in:
// face, size (left out of the mask when none is stored), bold, italic,
// character set and text colour, from the settings.
CHARFORMATA CharFormatOfDisplayCodePage();
// The same for any of the three display code pages (0..2), for a preview of
// text shown in another code page than the editor's.
CHARFORMATA CharFormatOfCodePage(int codePage);

// Gives the whole text the font, character set and colour of the current
// display code page (the editor's state).
void ApplyDisplayCodePage();
// The same, keeping the selection and the scroll position.
void ApplyDisplayCodePageKeepingView();
// The font, character set and colour of the display code page given to a
// control being made, before it holds any text (nothing else is touched).
void ApplyFontTo(HWND control);
// Paints the text in the text colour and every tag in the HTML colour.
void ColourHtmlTags();

// IDM_HTML_REFRESH.
void HtmlColouringCommand(int id);
