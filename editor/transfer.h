// Moving bytes between the editor control, memory and the clipboard.
#pragma once

#include <windows.h>

#include <cstdint>

// The cookie of the stream operations: bytes handed to the control from
// readPosition on, or collected from it at data + length.
struct MemoryTextBlock {
    int32_t readPosition;
    int32_t length;
    unsigned char* data;
    int32_t capacity; // bytes data holds; streaming out never writes past it
};

// Appends the whole text (SF_TEXT) to the block, at most up to its capacity.
void StreamOutText(MemoryTextBlock& block);
// Hands the block's `length` bytes to the control: SF_TEXT replaces the whole
// text, SF_TEXT | SFF_SELECTION the selection, SF_RTF parses them as RTF.
void StreamInText(MemoryTextBlock& block, UINT flags);

// Copies the selection of a rich-edit window to the clipboard in the format
// of the display code page (CF_TEXT, or CF_OEMTEXT, 866 bytes also for
// KOI8-R) and as CF_UNICODETEXT on the NT family.
void CopySelection(HWND window);
// Replaces the editor's selection by the clipboard text.
void PasteText();

// IDM_CUT, IDM_COPY, IDM_PASTE and IDM_DELETE.
void CutCommand(int id);
void CopyCommand(int id);
void PasteCommand(int id);
void DeleteCommand(int id);
