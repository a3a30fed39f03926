#include "codepage/conversion_commands.h"

#include <windows.h>
#include <richedit.h>

#include "base/heap_block.h"
#include "base/messages.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/app/setting_names.h"
#include "core/charset/convert.h"
#include "core/charset/encodings.h"
#include "core/charset/tables.h"
#include "core/text/line_breaks.h"
#include "core/text/paragraph.h"
#include "core/text/quoted_printable.h"
#include "core/text/rtf_text.h"
#include "core/unicode/utf8.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

#include <cstring>
#include <new>
#include <vector>

int g_pendingSourceCodePage = -1;

namespace {
// The pair of the encodings dialog while a conversion from or to UTF-8 runs
// (-1: the tables' conversion).
int g_utf8Source = -1;
int g_utf8Target = -1;
} // namespace

void ForgetPendingFirstKey() { g_pendingSourceCodePage = -1; }

namespace {

bool IsParagraphCommand(int command) { return command >= IDM_JUSTIFY && command <= IDM_ALIGN_RIGHT; }

// Puts m bytes over the range as one replacement step and selects them.
void PutBackReplacement(const unsigned char* bytes, int32_t m, int32_t start, int32_t end, bool collapse) {
    ReplaceRange(start, end, bytes, m, collapse);
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

// What a conversion works on: the bytes of [start, end), the selection or
// the whole text, and the selection as it was before.
struct ConversionRange {
    CHARRANGE original;
    int32_t start;
    int32_t end;
    bool wholeText;
};

// The whole text when nothing is selected (RTF: always); paragraph
// formatting widens a selection to whole lines. The range is selected.
ConversionRange SelectRangeOf(int command) {
    ConversionRange range{GetSelection(EditorWindow()), 0, 0, false};
    range.start = range.original.cpMin;
    range.end = range.original.cpMax;
    range.wholeText = range.start == range.end || command == IDM_RTF_TO_ANSI;
    if (range.wholeText) {
        range.start = 0;
        range.end = TextLength(EditorWindow());
        SetSelection(EditorWindow(), range.start, range.end);
    } else if (IsParagraphCommand(command)) {
        const LRESULT line = SendMessageA(EditorWindow(), EM_EXLINEFROMCHAR, 0, range.start);
        const LRESULT lineStart = SendMessageA(EditorWindow(), EM_LINEINDEX, line, 0);
        if (lineStart >= 0 && lineStart != range.start) {
            range.start = static_cast<int32_t>(lineStart);
            const LRESULT endLine = SendMessageA(EditorWindow(), EM_EXLINEFROMCHAR, 0, range.end);
            const LRESULT endLineStart = SendMessageA(EditorWindow(), EM_LINEINDEX, endLine, 0);
            if (endLineStart >= 0)
                range.end =
                    static_cast<int32_t>(endLineStart + SendMessageA(EditorWindow(), EM_LINELENGTH, endLineStart, 0));
            SetSelection(EditorWindow(), range.start, range.end);
        }
    }
    return range;
}

// The table conversions: IDM_ENCODINGS (the pair of tables the dialog chose)
// and IDM_TO_ANSI to IDM_TO_FIDO. Converting the whole text to a code page
// also shows it in that code page, as one undo step (a snapshot brings back
// the bytes and the display code page); a selection is converted in place.
// The bytes read as g_utf8Source and written as g_utf8Target, one of them UTF-8.
std::vector<unsigned char> RecodeWithUtf8(const unsigned char* bytes, int32_t n) {
    const auto count = static_cast<size_t>(n);
    if (g_utf8Source != kEncodingUtf8) return CodePageToUtf8(g_utf8Source, bytes, count);
    if (g_utf8Target != kEncodingUtf8) return Utf8ToCodePage(g_utf8Target, bytes, count).bytes;
    return CleanUtf8(bytes, count).bytes;
}

bool ConvertByTables(int command, unsigned char* bytes, int32_t n, const ConversionRange& range, int fromTable,
                     int toTable) {
    if (command == IDM_ENCODINGS && g_utf8Source >= 0) {
        const std::vector<unsigned char> out = RecodeWithUtf8(bytes, n);
        PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), range.start, range.end, false);
        return true;
    }
    if (!range.wholeText || command == IDM_ENCODINGS) {
        ConvertBytes(bytes, n, fromTable, toTable);
        PutBackReplacement(bytes, n, range.start, range.end, false);
        return true;
    }
    HeapBuffer converted(static_cast<size_t>(n) + 1);
    if (!converted) return false;
    if (n > 0) memcpy(converted.get(), bytes, n);
    ConvertBytes(converted.get(), n, fromTable, toTable);
    const int codePage = command == IDM_TO_FIDO ? kCodePageOem : command - IDM_TO_ANSI;
    // Without a control for the new text (the error was shown) the
    // selection comes back as it was.
    if (!ReplaceWholeText({converted.get(), n, codePage, bytes, n, range.original, {0, n}}))
        SetSelection(EditorWindow(), range.original.cpMin, range.original.cpMax);
    return true;
}

// IDM_TRANSLIT: Cyrillic letters of the display code page in Latin ones.
void TransliterateBytes(const unsigned char* bytes, int32_t n, const ConversionRange& range) {
    std::vector<unsigned char> out = Transliterate(bytes, n, DisplayCodePage());
    PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), range.start, range.end, false);
}

// IDM_RTF_TO_ANSI: a control of its own reads the RTF (made ready first so
// that no line break is lost on the way, see rtf_text.h), and its plain text
// replaces the document as one undo step. False (the document as it was)
// when there is no memory for the plain text.
bool ConvertRtfToText(const unsigned char* text, int32_t n, CHARRANGE selection) {
    if (!LooksLikeRtf(text, static_cast<size_t>(n))) return true;
    const PreparedRtf rtf = PrepareRtfForPlainText(text, static_cast<size_t>(n));
    PlainText plain = PlainTextOfRtf(rtf.bytes.data(), static_cast<int32_t>(rtf.bytes.size()));
    if (!plain.ok) return false;
    const auto m = static_cast<int32_t>(PlainTextLengthWithoutMarker(plain.bytes, static_cast<size_t>(plain.n), rtf.marked));
    ReplaceWholeText({plain.bytes, m, DisplayCodePage(), text, n, selection, {0, 0}});
    FreePlainText(plain);
    return true;
}

// IDM_QUOTED_PRINTABLE: "=XX" escapes decoded.
void DecodeQuotedPrintableBytes(const unsigned char* bytes, int32_t n, const ConversionRange& range) {
    std::vector<unsigned char> out = DecodeQuotedPrintable(bytes, n);
    PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), range.start, range.end, false);
}

// IDM_LINE_BREAK: lone CR and LF made CR LF.
void RepairLineBreakBytes(const unsigned char* bytes, int32_t n, const ConversionRange& range) {
    std::vector<unsigned char> out = RepairLineBreaks(bytes, n);
    PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), range.start, range.end, false);
}

// IDM_JUSTIFY to IDM_ALIGN_RIGHT: the paragraphs laid out again between the
// measures of the options; the caret ends at the start. In a Unicode
// document a combining mark, or a character's second half, takes no column.
void FormatParagraphBytes(int command, const unsigned char* bytes, int32_t n, const ConversionRange& range) {
    ParagraphSettings settings = ReadParagraphSettings();
    if (UnicodeDocument()) settings.noColumnByte = kForeignMarkByte;
    std::vector<unsigned char> out = FormatParagraphs(bytes, n, AlignmentOf(command), settings);
    PutBackReplacement(out.data(), static_cast<int32_t>(out.size()), range.start, range.end, true);
}

// The command's conversion of the range's bytes; false when memory ran out.
bool RunConversion(int command, unsigned char* bytes, int32_t n, const ConversionRange& range, int fromTable,
                   int toTable) {
    switch (command) {
    case IDM_ENCODINGS:
    case IDM_TO_ANSI:
    case IDM_TO_OEM:
    case IDM_TO_KOI8:
    case IDM_TO_FIDO:
        return ConvertByTables(command, bytes, n, range, fromTable, toTable);
    case IDM_TRANSLIT:
        TransliterateBytes(bytes, n, range);
        return true;
    case IDM_RTF_TO_ANSI:
        return ConvertRtfToText(bytes, n, range.original);
    case IDM_QUOTED_PRINTABLE:
        DecodeQuotedPrintableBytes(bytes, n, range);
        return true;
    case IDM_LINE_BREAK:
        RepairLineBreakBytes(bytes, n, range);
        return true;
    default:
        if (IsParagraphCommand(command)) FormatParagraphBytes(command, bytes, n, range);
        return true;
    }
}

// Converts the range SelectRangeOf chose; false when there was no memory
// for the text (nothing changed then, and the selection is back).
bool ConvertRange(int command, const ConversionRange& range, int fromTable, int toTable) {
    const int32_t length = range.end - range.start;
    bool enoughMemory = true;
    if (length > 0) {
        HeapBuffer text(static_cast<size_t>(length) + 2);
        if (!text) {
            // Nothing is converted; the selection comes back.
            enoughMemory = false;
            SetSelection(EditorWindow(), range.original.cpMin, range.original.cpMax);
        } else {
            const int32_t n = StreamBytesOut(EditorWindow(), true, text.get(), length);
            enoughMemory = RunConversion(command, text.get(), n, range, fromTable, toTable);
        }
    }
    return enoughMemory;
}

} // namespace

void ConvertText(int command, int fromTable, int toTable) {
    if (!EditorWindow()) return;
    const int32_t firstLine = FreezeView();
    const ConversionRange range = SelectRangeOf(command);
    bool enoughMemory = true;
    try {
        enoughMemory = ConvertRange(command, range, fromTable, toTable);
    } catch (const std::bad_alloc&) {
        // A result that found no memory changed nothing: the selection and
        // the view come back before the dispatch shows the memory message.
        SetSelection(EditorWindow(), range.original.cpMin, range.original.cpMax);
        ThawView(firstLine);
        throw;
    }
    // Finishing, also when nothing was done.
    ThawView(firstLine);
    if (!enoughMemory) ShowNoMemory();
}

void ConvertCodePagePair(int source, int target) {
    if (source < 0 || source > kEncodingUtf8 || target < 0 || target > kEncodingUtf8) return;
    if (source != kEncodingUtf8 && target != kEncodingUtf8) {
        ConvertText(IDM_ENCODINGS, ToOemTable[source], FromOemTable[target]);
        return;
    }
    g_utf8Source = source;
    g_utf8Target = target;
    try {
        ConvertText(IDM_ENCODINGS, kNoTable, kNoTable);
    } catch (const std::bad_alloc&) {
        g_utf8Source = -1;
        g_utf8Target = -1;
        throw;
    }
    g_utf8Source = -1;
    g_utf8Target = -1;
}

void ConvertCommand(int id) {
    const int d = DisplayCodePage();
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
