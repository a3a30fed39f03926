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

#include <algorithm>
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

// A Unicode document's selection: its characters as they are, and as the
// code page's bytes with the usual substitute for each foreign one.
void CopyUnicodeSelection(HWND window, int32_t n) {
    ScopedGlobal units(GlobalAlloc(kClipboardBlockFlags, 2 * (static_cast<SIZE_T>(n) + 1)));
    HeapBuffer bytes(static_cast<size_t>(n) + 1);
    if (!units || !bytes) return;
    int32_t got = 0;
    {
        ScopedGlobalLock<WCHAR> text(units.get());
        if (!text) return;
        GETTEXTEX get{static_cast<DWORD>(2 * (n + 1)), GT_SELECTION, 1200, nullptr, nullptr};
        got = static_cast<int32_t>(
            SendMessageA(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.get())));
        got = std::clamp(got, 0, n);
        ForeignUnits foreign;
        SplitUnicodeUnits(g_editorState.displayCodePage, reinterpret_cast<const char16_t*>(text.get()), got,
                          bytes.get(), foreign);
    }
    int32_t kept = 0;
    for (int32_t i = 0; i < got; ++i) {
        const unsigned char b = bytes.get()[i];
        if (b != kForeignMarkByte) bytes.get()[kept++] = b == kForeignByte ? '?' : b;
    }
    bytes.get()[kept] = 0;
    ScopedGlobal block(GlobalAlloc(kClipboardBlockFlags, static_cast<SIZE_T>(kept) + 1));
    OpenedClipboard clipboard(window);
    if (!block || !clipboard) return;
    {
        ScopedGlobalLock<unsigned char> text(block.get());
        if (!text) return;
        memcpy(text.get(), bytes.get(), static_cast<size_t>(kept) + 1);
        if (g_editorState.displayCodePage == kCodePageKoi8) ConvertBytes(text.get(), kept, kTableKoi8ToOem, kNoTable);
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, units.get())) units.Release();
    if (SetClipboardData(g_editorState.displayCodePage == kCodePageAnsi ? CF_TEXT : CF_OEMTEXT, block.get()))
        block.Release();
}

// Unicode text pasted into a Unicode document: every character as it is.
// False when the clipboard has none.
bool PasteUnicodeText() {
    OpenedClipboard clipboard(g_editorState.control);
    HANDLE data = clipboard ? GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (!data) return false;
    ScopedGlobalLock<const char16_t> locked(data);
    const char16_t* units = locked.get();
    if (!units) return false;
    // The text ends at its NUL, and never past the block.
    const SIZE_T most = GlobalSize(data) / 2;
    SIZE_T size = 0;
    while (size < most && units[size]) ++size;
    if (size > static_cast<SIZE_T>(INT32_MAX)) return true;
    const auto n = static_cast<int32_t>(size);
    HeapBuffer bytes(static_cast<size_t>(n) + 1);
    if (!bytes) return true;
    ForeignUnits foreign;
    SplitUnicodeUnits(g_editorState.displayCodePage, units, size, bytes.get(), foreign);
    const CHARRANGE selection = GetSelection(g_editorState.control);
    const int32_t replaced = selection.cpMax - selection.cpMin;
    const bool whole = replaced > 0 && replaced == TextLength(g_editorState.control);
    const int64_t held = int64_t{replaced} * (whole ? 2 : 1) + n;
    if (!ControlAdmits("Вставка", false, bytes.get(), n, g_editorState.displayCodePage, held, whole ? replaced : 0))
        return true;
    RecordUndo(UndoRequest::Replacement, n);
    ReplaceSelectionBytes(bytes.get(), n, ControlUndoSelected(), &foreign);
    return true;
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
    if (window == g_editorState.control && g_editorState.unicodeText) {
        CopyUnicodeSelection(window, n);
        return;
    }
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
    if (!g_editorState.control) return;
    if (g_editorState.unicodeText && IsClipboardFormatAvailable(CF_UNICODETEXT) && PasteUnicodeText()) return;
    if (!IsClipboardFormatAvailable(CF_TEXT)) return;
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
    // whole text drops the old control first, holding a copy of its text
    // meanwhile; the replaced bytes are copied for undo.
    const CHARRANGE selection = GetSelection(g_editorState.control);
    const int32_t replaced = selection.cpMax - selection.cpMin;
    const bool whole = replaced > 0 && replaced == TextLength(g_editorState.control);
    const int64_t held = int64_t{replaced} * (whole ? 2 : 1) + n;
    if (!ControlAdmits("Вставка", false, text, n, g_editorState.displayCodePage, held, whole ? replaced : 0)) return;
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
    if (!g_editorState.control) return;
    SelectWholeCharacters(g_editorState.control);
    CopySelection(g_editorState.control);
}

void DeleteCommand(int) {
    if (!g_editorState.control) return;
    SelectWholeCharacters(g_editorState.control);
    RecordUndo(UndoRequest::Replacement, 0);
    ReplaceSelectionBytes(nullptr, 0, ControlUndoSelected());
}

void CutCommand(int) {
    SendMessageA(g_shell.mainWindow, WM_COMMAND, IDM_COPY, 0);
    DeleteCommand(6);
}

void PasteCommand(int) {
    if (g_editorState.control) SelectWholeCharacters(g_editorState.control);
    PasteText();
}
