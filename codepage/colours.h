// The background, text and HTML-tag colours, chosen with the system colour
// dialog; its custom colours are shared by the three until the program ends.
#pragma once

// Commands 45 (background), 46 (text) and 51 (HTML tags).
void BackgroundColourCommand(int id);
void TextColourCommand(int id);
void HtmlColourCommand(int id);
