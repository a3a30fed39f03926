#include "editor/transfer.h"

#include <richedit.h>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/scoped.h"
#include "core/app/command_ids.h"
#include "core/charset/convert.h"
#include "core/charset/tables.h"
#include "editor/control.h"
#include "editor/editor.h"
#include "editor/memory_check.h"
#include "editor/text_layer.h"
#include "editor/undo.h"
#include "editor/whole_text.h"

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
    switch (g_editorState.displayCodePage) {
    case kCodePageOem: return CP_OEMCP;
    case kCodePageKoi8: return 20866;
    default: return CP_ACP;
    }
}

constexpr UINT kClipboardBlockFlags = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;

// The selection as CF_UNICODETEXT, decoded with the display code page.
void PutUnicodeText(const char* bytes, int32_t n) {
    ScopedGlobal block(GlobalAlloc(kClipboardBlockFlags, 2 * (static_cast<SIZE_T>(n) + 1)));
    {
        ScopedGlobalLock<WCHAR> text(block.get());
        if (!text) return;
        MultiByteToWideChar(CodePageOfDisplay(), 0, bytes, n, text.get(), n + 1);
    }
    if (SetClipboardData(CF_UNICODETEXT, block.get())) block.Release();
}

} // namespace

void StreamOutText(MemoryTextBlock& block) {
    if (!block.data || block.length < 0 || block.length >= block.capacity) return;
    block.length += StreamBytesOut(g_editorState.control, false, block.data + block.length, block.capacity - block.length);
}

void StreamInText(MemoryTextBlock& block, UINT flags) {
    block.readPosition = 0;
    StreamBytesIn(g_editorState.control, flags, block.data, block.length);
    block.readPosition = block.length;
}

void CopySelection(HWND window) {
    const CHARRANGE selection = GetSelection(window);
    const int32_t n = selection.cpMax - selection.cpMin;
    if (n <= 0) return;
    ScopedGlobal block(GlobalAlloc(kClipboardBlockFlags, static_cast<SIZE_T>(n) + 1));
    if (!block) return;
    OpenedClipboard clipboard(window);
    if (!clipboard) return;
    UINT format = CF_TEXT;
    {
        ScopedGlobalLock<unsigned char> bytes(block.get());
        if (!bytes) return;
        const int32_t got = StreamBytesOut(window, true, bytes.get(), n);
        EmptyClipboard();
        if (g_shell.nt) PutUnicodeText(reinterpret_cast<const char*>(bytes.get()), got);
        if (g_editorState.displayCodePage == kCodePageOem) format = CF_OEMTEXT;
        if (g_editorState.displayCodePage == kCodePageKoi8) {
            ConvertBytes(bytes.get(), got, kTableKoi8ToOem, kNoTable);
            format = CF_OEMTEXT;
        }
    }
    if (SetClipboardData(format, block.get())) block.Release();
}

void PasteText() {
    if (!g_editorState.control || !IsClipboardFormatAvailable(CF_TEXT)) return;
    OpenedClipboard clipboard(g_editorState.control);
    if (!clipboard) return;
    HANDLE data = GetClipboardData(g_editorState.displayCodePage == kCodePageAnsi ? CF_TEXT : CF_OEMTEXT);
    if (!data) return;
    ScopedGlobalLock<const unsigned char> locked(data);
    const unsigned char* text = locked.get();
    if (!text) return;
    // The text ends at its NUL, and never past the block.
    const SIZE_T blockSize = GlobalSize(data);
    const void* nul = memchr(text, 0, blockSize);
    const SIZE_T size = nul ? static_cast<SIZE_T>(static_cast<const unsigned char*>(nul) - text) : blockSize;
    if (size > static_cast<SIZE_T>(INT32_MAX)) return; // more than any text the control holds
    const int32_t n = static_cast<int32_t>(size);
    // A text the control cannot hold stays on the clipboard. Pasting over the
    // whole text drops the old one first; the replaced bytes are copied for undo.
    const CHARRANGE selection = GetSelection(g_editorState.control);
    const int32_t replaced = selection.cpMax - selection.cpMin;
    const bool whole = replaced > 0 && replaced == TextLength(g_editorState.control);
    if (!ControlAdmits("Вставка", false, text, n, g_editorState.displayCodePage, int64_t{replaced} + n, whole ? replaced : 0))
        return;
    if (g_editorState.displayCodePage == kCodePageKoi8) {
        HeapBuffer koi8(static_cast<size_t>(n) + 1);
        if (koi8) {
            RecordUndo(UndoRequest::Replacement, n);
            memcpy(koi8.get(), text, n);
            ConvertBytes(koi8.get(), n, kNoTable, kTableOemToKoi8);
            ReplaceSelectionBytes(koi8.get(), n, ControlUndoSelected());
        }
    } else {
        RecordUndo(UndoRequest::Replacement, n);
        ReplaceSelectionBytes(text, n, ControlUndoSelected());
    }
}

void CopyCommand(int) {
    if (g_editorState.control) CopySelection(g_editorState.control);
}

void DeleteCommand(int) {
    if (!g_editorState.control) return;
    RecordUndo(UndoRequest::Replacement, 0);
    ReplaceSelectionBytes(nullptr, 0, ControlUndoSelected());
}

void CutCommand(int) {
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_COPY, 0);
    DeleteCommand(6);
}

void PasteCommand(int) { PasteText(); }
