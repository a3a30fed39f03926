#include "codepage/conversion_commands.h"

#include <windows.h>
#include <richedit.h>

#include "base/heap_block.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/codepage/convert.h"
#include "core/codepage/paragraph.h"
#include "core/codepage/tables.h"
#include "editor/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/undo.h"

#include <cstring>
#include <vector>

int g_pendingSourceCodePage = -1;

void ForgetPendingFirstKey() { g_pendingSourceCodePage = -1; }

namespace {

bool IsParagraphCommand(int command) { return command >= IDM_JUSTIFY && command <= IDM_ALIGN_RIGHT; }

// Puts m bytes over the selection [start, ...) as one replacement step and
// selects them.
void PutBackReplacement(const unsigned char* bytes, int32_t m, int32_t start, bool collapse) {
    RecordUndo(kUndoReplacement, m);
    ReplaceSelectionBytes(g_editor, bytes, m, false);
    if (collapse) {
        SetSelection(g_editor, start, start);
    } else {
        SetSelection(g_editor, start, start + m);
    }
}

ParagraphSettings ReadParagraphSettings() {
    ParagraphSettings settings;
    settings.right = ReadSetting(setting::RightIndent);
    settings.left = ReadSetting(setting::LeftIndent);
    settings.first = ReadSetting(setting::FirstIndent);
    settings.ignoreLineBreaks = ReadSetting(setting::IgnoreLineBreaks) != 0;
    return settings;
}

Alignment AlignmentOf(int command) {
    switch (command) {
    case IDM_CENTRE: return Alignment::kCenter;
    case IDM_ALIGN_LEFT: return Alignment::kLeft;
    case IDM_ALIGN_RIGHT: return Alignment::kRight;
    default: return Alignment::kJustify;
    }
}

// RTF to plain text: the control reads the bytes as RTF, and re-creating it
// (with the wrap state unchanged) keeps only the plain text.
void ConvertRtf(const unsigned char* text, int32_t n, CHARRANGE selection) {
    if (n < 5 || memcmp(text, "{\\rtf", 5) != 0) return;
    ShowWindow(g_editor, SW_HIDE);
    g_editorFocus = false;
    RecordSnapshotOf(text, n, selection.cpMin, selection.cpMax);
    StreamBytesIn(g_editor, SF_RTF, text, n);
    SetSelection(g_editor, 0, 0);
    g_wrapStyle = g_wrapStyle ? 0 : kWrapOffStyle;
    ToggleWordWrap();
}

} // namespace

void ConvertText(int command, int fromTable, int toTable) {
    if (!g_editor) return;
    SendMessageA(g_editor, WM_SETREDRAW, FALSE, 0);
    const CHARRANGE original = GetSelection(g_editor);
    const LRESULT firstLine = SendMessageA(g_editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    int32_t start = original.cpMin;
    int32_t end = original.cpMax;
    const bool wholeText = start == end || command == IDM_RTF_TO_ANSI;
    if (wholeText) {
        start = 0;
        end = TextLength(g_editor);
        SetSelection(g_editor, start, end);
    } else if (IsParagraphCommand(command)) {
        const LRESULT line = SendMessageA(g_editor, EM_EXLINEFROMCHAR, 0, start);
        const LRESULT lineStart = SendMessageA(g_editor, EM_LINEINDEX, line, 0);
        if (lineStart >= 0 && lineStart != start) {
            start = static_cast<int32_t>(lineStart);
            const LRESULT endLine = SendMessageA(g_editor, EM_EXLINEFROMCHAR, 0, end);
            const LRESULT endLineStart = SendMessageA(g_editor, EM_LINEINDEX, endLine, 0);
            if (endLineStart >= 0)
                end = static_cast<int32_t>(endLineStart + SendMessageA(g_editor, EM_LINELENGTH, endLineStart, 0));
            SetSelection(g_editor, start, end);
        }
    }
    const int32_t length = end - start;
    HeapBuffer text(static_cast<size_t>(length > 0 ? length : 0) + 2);
    if (length > 0 && text) {
        unsigned char* bytes = text.get();
        const int32_t n = StreamBytesOut(g_editor, true, bytes, length);
        switch (command) {
        case IDM_ENCODINGS:
        case IDM_TO_ANSI:
        case IDM_TO_OEM:
        case IDM_TO_KOI8:
        case IDM_TO_FIDO:
            if (wholeText && command != IDM_ENCODINGS) {
                // One snapshot brings back the bytes and the display code page.
                RecordSnapshotOf(bytes, n, original.cpMin, original.cpMax);
                ConvertBytes(bytes, n, fromTable, toTable);
                SetDecodingForNewText(command == IDM_TO_FIDO ? kCodePageOem : command - IDM_TO_ANSI);
                HWND before = g_editor;
                const bool fresh = ReplaceAllBytes(g_editor, bytes, n) != before;
                if (!g_editor) return;
                SendMessageA(g_editor, EM_SETMODIFY, TRUE, 0);
                // A fresh control was made with the font of the new display.
                if (!fresh) ApplyDisplayCodePage();
                SetSelection(g_editor, 0, TextLength(g_editor));
            } else {
                ConvertBytes(bytes, n, fromTable, toTable);
                PutBackReplacement(bytes, n, start, false);
            }
            break;
        case IDM_TRANSLIT: {
            std::vector<unsigned char> out = Transliterate(bytes, n, g_displayCodePage);
            PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), start, false);
            break;
        }
        case IDM_RTF_TO_ANSI:
            ConvertRtf(bytes, n, original);
            break;
        case IDM_QUOTED_PRINTABLE: {
            std::vector<unsigned char> out = DecodeQuotedPrintable(bytes, n);
            PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), start, false);
            break;
        }
        case IDM_LINE_BREAK: {
            std::vector<unsigned char> out = RepairLineBreaks(bytes, n);
            PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), start, false);
            break;
        }
        default:
            if (IsParagraphCommand(command)) {
                std::vector<unsigned char> out =
                    FormatParagraphs(bytes, n, AlignmentOf(command), ReadParagraphSettings());
                PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), start, true);
            }
            break;
        }
    }
    // Finishing, also when nothing was done.
    if (!g_editor) return;
    const LRESULT nowFirst = SendMessageA(g_editor, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (nowFirst > firstLine) SendMessageA(g_editor, EM_LINESCROLL, 0, firstLine - nowFirst);
    SendMessageA(g_editor, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(g_editor, nullptr, FALSE);
}

void ConvertCommand(int id) {
    const int d = g_displayCodePage;
    if (id >= IDM_TO_ANSI && id < IDM_TO_FIDO) {
        ConvertText(id, ToOemTable[d], FromOemTable[id - IDM_TO_ANSI]);
    } else if (id == IDM_TO_FIDO) {
        ConvertText(id, ToOemTable[d], kTableFido);
    } else {
        ConvertText(id, kNoTable, kNoTable);
    }
}

void TwoKeyCodePageCommand(int id) {
    const int codePage = id - IDM_TWO_KEY_ANSI;
    if (codePage < 0 || codePage > 2) return;
    if (g_pendingSourceCodePage < 0) {
        g_pendingSourceCodePage = codePage;
        return;
    }
    const int source = g_pendingSourceCodePage;
    g_pendingSourceCodePage = -1;
    if (source == codePage) {
        SetDisplayCodePage(codePage);
    } else {
        ConvertText(IDM_TO_ANSI + codePage, ToOemTable[source], FromOemTable[codePage]);
    }
}
