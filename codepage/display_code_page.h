// The display code page applied to the editor control: font, character set
// and colour of the whole text; and the HTML tag colouring.
#pragma once

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
