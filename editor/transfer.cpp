#include "editor/transfer.h"

#include <richedit.h>

#include "app/app.h"
#include "codepage/convert.h"
#include "codepage/tables.h"
#include "editor/editor.h"
#include "editor/heap_block.h"
#include "editor/text_layer.h"
#include "editor/undo.h"

#include <cstring>

namespace {

// A clipboard that is closed again when it goes out of scope.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

UINT CodePageOfDisplay() {
    switch (g_displayCodePage) {
    case kCodePageOem: return CP_OEMCP;
    case kCodePageKoi8: return 20866;
    default: return CP_ACP;
    }
}

constexpr UINT kClipboardBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;

// The selection as CF_UNICODETEXT, decoded with the display code page.
void PutUnicodeText(const char* bytes, int32_t n) {
    HGLOBAL block = GlobalAlloc(kClipboardBlockFlags, 2 * (static_cast<SIZE_T>(n) + 1));
    if (!block) return;
    auto* text = static_cast<WCHAR*>(GlobalLock(block));
    if (!text) {
        GlobalFree(block);
        return;
    }
    MultiByteToWideChar(CodePageOfDisplay(), 0, bytes, n, text, n + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
}

} // namespace

void StreamOutText(MemoryTextBlock& block) {
    if (!block.data || block.length < 0 || block.length >= block.capacity) return;
    block.length += StreamBytesOut(g_editor, false, block.data + block.length, block.capacity - block.length);
}

void StreamInText(MemoryTextBlock& block, UINT flags) {
    block.readPosition = 0;
    StreamBytesIn(g_editor, flags, block.data, block.length);
    block.readPosition = block.length;
}

void CopySelection(HWND window) {
    const CHARRANGE selection = GetSelection(window);
    const int32_t n = selection.cpMax - selection.cpMin;
    if (n <= 0) return;
    HGLOBAL block = GlobalAlloc(kClipboardBlockFlags, static_cast<SIZE_T>(n) + 1);
    if (!block) return;
    OpenedClipboard clipboard(window);
    if (!clipboard) {
        GlobalFree(block);
        return;
    }
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    if (!bytes) {
        GlobalFree(block);
        return;
    }
    const int32_t got = StreamBytesOut(window, true, bytes, n);
    EmptyClipboard();
    if (g_ntFlag) PutUnicodeText(reinterpret_cast<const char*>(bytes), got);
    UINT format = CF_TEXT;
    if (g_displayCodePage == kCodePageOem) format = CF_OEMTEXT;
    if (g_displayCodePage == kCodePageKoi8) {
        ConvertBytes(bytes, got, kTableKoi8ToOem, kNoTable);
        format = CF_OEMTEXT;
    }
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) GlobalFree(block);
}

void PasteText() {
    if (!g_editor || !IsClipboardFormatAvailable(CF_TEXT)) return;
    OpenedClipboard clipboard(g_editor);
    if (!clipboard) return;
    HANDLE data = GetClipboardData(g_displayCodePage == kCodePageAnsi ? CF_TEXT : CF_OEMTEXT);
    if (!data) return;
    const auto* text = static_cast<const unsigned char*>(GlobalLock(data));
    if (!text) return;
    // The text ends at its NUL, and never past the block.
    const SIZE_T blockSize = GlobalSize(data);
    const void* nul = memchr(text, 0, blockSize);
    const int32_t n = static_cast<int32_t>(nul ? static_cast<const unsigned char*>(nul) - text : blockSize);
    if (g_displayCodePage == kCodePageKoi8) {
        HeapBuffer koi8(static_cast<size_t>(n) + 1);
        if (koi8) {
            RecordUndo(kUndoReplacement, n);
            memcpy(koi8.get(), text, n);
            ConvertBytes(koi8.get(), n, kNoTable, kTableOemToKoi8);
            ReplaceSelectionBytes(g_editor, koi8.get(), n, true);
        }
    } else {
        RecordUndo(kUndoReplacement, n);
        ReplaceSelectionBytes(g_editor, text, n, true);
    }
    GlobalUnlock(data);
}

void CopyCommand(int) {
    if (g_editor) CopySelection(g_editor);
}

void DeleteCommand(int) {
    if (!g_editor) return;
    RecordUndo(kUndoReplacement, 0);
    ReplaceSelectionBytes(g_editor, nullptr, 0, true);
}

void CutCommand(int) {
    SendMessageA(g_mainWindow, WM_COMMAND, 2, 0);
    DeleteCommand(6);
}

void PasteCommand(int) { PasteText(); }
