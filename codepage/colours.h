// The background, text and HTML-tag colours, chosen with the system colour
// dialog; its custom colours are shared by the three until the program ends.
#pragma once

#include <windows.h>

// IDM_BACKGROUND_COLOUR, IDM_TEXT_COLOUR and IDM_HTML_COLOUR (the HTML tags).
void BackgroundColourCommand(int id);
void TextColourCommand(int id);
void HtmlColourCommand(int id);

// The colour dialogs' sixteen custom colours, kept between them.
extern COLORREF g_customColours[16];
// Returns them to the system's (part of ResetProgramState).
void ResetCustomColours();
