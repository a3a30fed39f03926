#include "editor/text_layer.h"

#include "base/heap_block.h"
#include "core/charset/display_map.h"
#include "core/editor/byte_find.h"
#include "editor/control.h"

#include <richole.h>
#include <tom.h>

#include <algorithm>
#include <new>

namespace {

constexpr int32_t kProgressStep = 1 << 20;

// {8CC497C0-A1DF-11CE-8098-00AA0047BE5D}
const IID kTextDocumentIid = {0x8cc497c0, 0xa1df, 0x11ce, {0x80, 0x98, 0x00, 0xaa, 0x00, 0x47, 0xbe, 0x5d}};

// Room for `more` units in `foreign`, so that no stream callback allocates:
// false (the last error set) when there is none.
bool ReserveUnits(ForeignUnits* foreign, int32_t more) {
    if (!foreign || more <= 0) return true;
    try {
        foreign->reserve(foreign->size() + static_cast<size_t>(more));
        return true;
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

// Units of the editor's control to bytes: through the display map, or in
// a Unicode document with its foreign units collected (room reserved for
// them), or for a reader that does not want them into `scratch` a piece at
// a time (room for kScratchUnits reserved).
constexpr int32_t kScratchUnits = 1024;
void UnitsToBytes(int codePage, bool unicode, const char16_t* units, int32_t n, unsigned char* out,
                  ForeignUnits* foreign, ForeignUnits& scratch) {
    if (!unicode) {
        EncodeDisplayChars(codePage, units, n, out);
        return;
    }
    if (foreign) {
        SplitUnicodeUnits(codePage, units, n, out, *foreign);
        return;
    }
    for (int32_t at = 0; at < n; at += kScratchUnits) {
        scratch.clear();
        SplitUnicodeUnits(codePage, units + at, std::min(kScratchUnits, n - at), out + at, scratch);
    }
}

// Streaming out: UTF-16 from the control, bytes into the caller's buffer.
struct OutCookie {
    int codePage;
    bool unicode;
    unsigned char* out;
    int32_t capacity;
    int32_t length;
    ForeignUnits* foreign;
    ForeignUnits scratch;
    bool hasOddByte = false; // a chunk may end in the middle of a unit
    BYTE oddByte = 0;
};

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* done) {
    auto* c = reinterpret_cast<OutCookie*>(cookie);
    *done = size;
    LONG i = 0;
    if (size > 0 && c->hasOddByte) {
        const auto unit = static_cast<char16_t>(c->oddByte | (chunk[0] << 8));
        if (c->length < c->capacity) {
            UnitsToBytes(c->codePage, c->unicode, &unit, 1, c->out + c->length, c->foreign, c->scratch);
            ++c->length;
        }
        c->hasOddByte = false;
        i = 1;
    }
    char16_t units[1024];
    while (size - i >= 2) {
        int32_t count = std::min<int32_t>((size - i) / 2, 1024);
        count = std::min(count, c->capacity - c->length);
        if (count <= 0) return 0; // more than the buffer holds: the rest is dropped
        memcpy(units, chunk + i, count * 2);
        UnitsToBytes(c->codePage, c->unicode, units, count, c->out + c->length, c->foreign, c->scratch);
        c->length += count;
        i += count * 2;
    }
    if (i < size) {
        c->hasOddByte = true;
        c->oddByte = chunk[i];
    }
    return 0;
}

// Streaming in: bytes from the caller, UTF-16 (or raw bytes for RTF) to the
// control.
struct InCookie {
    int codePage; // -1: hand the bytes over as they are
    bool unicode;
    const unsigned char* bytes;
    int32_t length;
    int32_t position;
    StreamProgress progress;
    ForeignCursor* foreign;
    bool stopped = false;
};

// Bytes to units of a control: through the display map, or as a Unicode
// document's characters with the cursor's units for the stand-ins.
void BytesToUnits(int codePage, bool unicode, const unsigned char* bytes, int32_t n, char16_t* units,
                  ForeignCursor* foreign) {
    if (!unicode) {
        DecodeDisplayBytes(codePage, bytes, n, units);
        return;
    }
    ForeignCursor none;
    JoinUnicodeUnits(codePage, bytes, n, foreign ? *foreign : none, units);
}

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE chunk, LONG size, LONG* done) {
    auto* c = reinterpret_cast<InCookie*>(cookie);
    int32_t left = c->length - c->position;
    if (c->codePage < 0) {
        int32_t count = std::min<int32_t>(left, size);
        memcpy(chunk, c->bytes + c->position, count);
        c->position += count;
        *done = count;
        return 0;
    }
    int32_t count = std::min<int32_t>(left, size / 2);
    char16_t units[1024];
    for (int32_t i = 0; i < count;) {
        int32_t piece = std::min<int32_t>(count - i, 1024);
        BytesToUnits(c->codePage, c->unicode, c->bytes + c->position + i, piece, units, c->foreign);
        memcpy(chunk + i * 2, units, piece * 2);
        i += piece;
    }
    const int32_t before = c->position;
    c->position += count;
    *done = count * 2;
    if (c->progress && before / kProgressStep != c->position / kProgressStep && !c->progress(c->position, c->length)) {
        c->stopped = true;
        return 1; // the control ends the stream
    }
    return 0;
}

// The control's text document interface, released when it goes out of scope.
class TextDocument {
public:
    explicit TextDocument(HWND editor) {
        IRichEditOle* ole = nullptr;
        if (SendMessageA(editor, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) && ole) {
            ole->QueryInterface(kTextDocumentIid, reinterpret_cast<void**>(&doc_));
            ole->Release();
        }
    }
    ~TextDocument() {
        if (doc_) doc_->Release();
    }
    TextDocument(const TextDocument&) = delete;
    TextDocument& operator=(const TextDocument&) = delete;
    ITextDocument* get() const { return doc_; }

private:
    ITextDocument* doc_ = nullptr;
};

} // namespace

int32_t TextLength(HWND editor) {
    GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
    LRESULT n = SendMessageA(editor, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    return n > 0 ? static_cast<int32_t>(n) : 0;
}

namespace {

// Whether position `at` of a Unicode document lies between the two halves
// of a character beyond the BMP.
bool SplitsPair(HWND editor, int32_t at, int32_t length) {
    if (at <= 0 || at >= length) return false;
    TextDocument doc(editor);
    ITextRange* range = nullptr;
    if (!doc.get() || FAILED(doc.get()->Range(at - 1, at + 1, &range)) || !range) return false;
    BSTR text = nullptr;
    bool splits = false;
    if (SUCCEEDED(range->GetText(&text)) && text) {
        splits = SysStringLen(text) == 2 && (text[0] & 0xFC00) == 0xD800 && (text[1] & 0xFC00) == 0xDC00;
        SysFreeString(text);
    }
    range->Release();
    return splits;
}

} // namespace

CHARRANGE GetSelection(HWND editor) {
    CHARRANGE range{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // Select-all reaches past the control's hidden final line end; the
    // document ends at its length.
    const int32_t length = TextLength(editor);
    range.cpMin = std::clamp<LONG>(range.cpMin, 0, length);
    range.cpMax = std::clamp<LONG>(range.cpMax, range.cpMin, length);
    return range;
}

void SelectWholeCharacters(HWND editor) {
    if (editor != g_editorState.control || !g_editorState.textUnicode) return;
    CHARRANGE range = GetSelection(editor);
    const int32_t length = TextLength(editor);
    const bool before = SplitsPair(editor, range.cpMin, length);
    const bool after = range.cpMax != range.cpMin ? SplitsPair(editor, range.cpMax, length) : before;
    if (before || after) SetSelection(editor, range.cpMin - before, range.cpMax + after);
}

void SetSelection(HWND editor, int32_t start, int32_t end) {
    CHARRANGE range{start, end};
    SendMessageA(editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

bool HasSelection(HWND editor) {
    CHARRANGE range{0, 0};
    SendMessageA(editor, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin != range.cpMax;
}

namespace {

int32_t StreamOut(HWND editor, int codePage, bool unicode, bool selectionOnly, unsigned char* buffer,
                  int32_t capacity, ForeignUnits* foreign) {
    if (selectionOnly) {
        const CHARRANGE selection = GetSelection(editor);
        capacity = std::min<int32_t>(capacity, selection.cpMax - selection.cpMin);
    }
    if (!buffer || capacity <= 0) return 0;
    if (unicode && !ReserveUnits(foreign, capacity)) return -1;
    OutCookie cookie{codePage, unicode, buffer, capacity, 0, foreign, {}};
    if (unicode && !ReserveUnits(&cookie.scratch, kScratchUnits)) return -1;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOutCallback};
    WPARAM flags = SF_TEXT | SF_UNICODE | (selectionOnly ? SFF_SELECTION : 0);
    SendMessageA(editor, EM_STREAMOUT, flags, reinterpret_cast<LPARAM>(&stream));
    return cookie.length;
}

// Bytes into a control through code page `codePage`, as a Unicode
// document's characters when `unicode`.
bool StreamIn(HWND control, int codePage, bool unicode, UINT flags, const unsigned char* bytes, int32_t n,
              StreamProgress progress, ForeignCursor* foreign) {
    const bool rtf = (flags & SF_RTF) != 0;
    InCookie cookie{rtf ? -1 : codePage, unicode, bytes, bytes ? std::max(n, 0) : 0, 0, progress, foreign};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamInCallback};
    WPARAM wParam = rtf ? flags : (flags | SF_TEXT | SF_UNICODE);
    SendMessageA(control, EM_STREAMIN, wParam, reinterpret_cast<LPARAM>(&stream));
    return !cookie.stopped;
}

} // namespace

int32_t StreamBytesOut(HWND editor, bool selectionOnly, unsigned char* buffer, int32_t capacity,
                       ForeignUnits* foreign) {
    return StreamOut(editor, g_editorState.displayCodePage, g_editorState.unicodeText, selectionOnly, buffer, capacity,
                     foreign);
}

int32_t StreamBytesOutAs(HWND editor, int codePage, bool unicode, unsigned char* buffer, int32_t capacity,
                         ForeignUnits* foreign) {
    return StreamOut(editor, codePage, unicode, false, buffer, capacity, foreign);
}

bool StreamBytesIn(HWND editor, UINT flags, const unsigned char* bytes, int32_t n, StreamProgress progress,
                   ForeignCursor* foreign) {
    return StreamIn(editor, g_editorState.displayCodePage, g_editorState.unicodeText, flags, bytes, n, progress,
                    foreign);
}

bool StreamBytesInAs(HWND control, int codePage, UINT flags, const unsigned char* bytes, int32_t n,
                     StreamProgress progress) {
    return StreamIn(control, codePage, false, flags, bytes, n, progress, nullptr);
}

void BytesToControlUnits(const unsigned char* bytes, int32_t n, char16_t* units, ForeignCursor* foreign) {
    BytesToUnits(g_editorState.displayCodePage, g_editorState.unicodeText, bytes, n, units, foreign);
}

int32_t GetRangeBytes(HWND editor, int32_t first, int32_t last, unsigned char* buffer, int32_t capacity,
                      ForeignUnits* foreign) {
    const int32_t length = TextLength(editor);
    if (last < 0 || last > length) last = length;
    if (first < 0) first = 0;
    if (!buffer || first >= last || capacity <= 0) return 0;
    last = std::min(last, first + capacity);
    if (g_editorState.unicodeText && !ReserveUnits(foreign, last - first)) return -1;
    TextDocument doc(editor);
    if (!doc.get()) return 0;
    ITextRange* range = nullptr;
    if (FAILED(doc.get()->Range(first, last, &range)) || !range) return 0;
    BSTR text = nullptr;
    int32_t written = 0;
    if (SUCCEEDED(range->GetText(&text)) && text) {
        written = std::min<int32_t>(static_cast<int32_t>(SysStringLen(text)), last - first);
        ForeignUnits scratch;
        if (ReserveUnits(&scratch, kScratchUnits)) {
            UnitsToBytes(g_editorState.displayCodePage, g_editorState.unicodeText,
                         reinterpret_cast<const char16_t*>(text), written, buffer, foreign, scratch);
        } else {
            written = -1;
        }
        SysFreeString(text);
    }
    range->Release();
    return written;
}

int32_t FindBytes(HWND editor, int32_t first, int32_t last, const unsigned char* needle, int32_t m, unsigned flags,
                  int32_t firstPiece) {
    const int32_t length = TextLength(editor);
    if (last < 0 || last > length) last = length;
    if (first < 0 || first > last || !needle || m <= 0 || last - first < m) return -1;
    // The range is read in pieces that grow fourfold from `firstPiece` up to
    // 16 MB, so a match near `first` costs a small read, and a search over
    // the whole text takes a few reads (each costs the control a walk to its
    // position) and never holds more than one piece. Consecutive pieces
    // overlap by m - 1 bytes, so no match is cut; each piece carries one byte
    // more on each side for the whole-word test.
    constexpr int32_t kLargestPiece = 16 * 1024 * 1024;
    const int32_t largest = std::min(last - first, std::max(kLargestPiece, 2 * m));
    int32_t piece = std::min(std::max({firstPiece, 64 * 1024, 2 * m}), largest);
    for (int32_t pos = first;;) {
        const int32_t pieceEnd = last - pos > piece ? pos + piece : last;
        const int32_t viewStart = pos > 0 ? pos - 1 : 0;
        const int32_t viewEnd = std::min(length, pieceEnd + 1);
        HeapBuffer view(static_cast<size_t>(viewEnd - viewStart) + 1);
        if (!view) return -1;
        const int32_t n = GetRangeBytes(editor, viewStart, viewEnd, view.get(), viewEnd - viewStart);
        const int32_t to = std::min(pieceEnd - viewStart, n);
        const std::ptrdiff_t found = FindInView(view.get(), n, pos - viewStart, to, needle, m, flags, g_editorState.displayCodePage);
        if (found >= 0) return viewStart + static_cast<int32_t>(found);
        if (pieceEnd >= last || n < viewEnd - viewStart) return -1;
        pos = pieceEnd - m + 1;
        piece = std::min(piece, largest / 4) * 4;
    }
}

int32_t ReadRangeBySelecting(HWND editor, int32_t first, int32_t last, unsigned char* buffer, ForeignUnits* foreign) {
    const int32_t n = last - first;
    if (!buffer || first < 0 || n <= 0 || last > TextLength(editor)) return -1;
    POINT scroll{};
    SendMessageA(editor, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    SetSelection(editor, first, last);
    // Placing a selection scrolls its end into view.
    POINT now{};
    SendMessageA(editor, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&now));
    if (now.x != scroll.x || now.y != scroll.y)
        SendMessageA(editor, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
    // An end that falls inside a line break (a CR LF, or the CR CR LF the
    // control keeps as one) is put at the break's start: the characters
    // between are CRs. A start put early reads them (dropped, after a look);
    // an end put early misses them (put back).
    const CHARRANGE placed = GetSelection(editor);
    if (placed.cpMin > first || placed.cpMax > last || placed.cpMin > placed.cpMax) return -1;
    const int32_t count = placed.cpMax - placed.cpMin;
    const int32_t early = first - placed.cpMin;
    const int32_t missing = last - std::max<int32_t>(placed.cpMax, first);
    HeapBuffer units((static_cast<size_t>(count) + 1) * 2);
    if (!units) return -1;
    GETTEXTEX get{static_cast<DWORD>(units.size()), GT_SELECTION, 1200, nullptr, nullptr};
    const auto got = count == 0 ? 0
                                : static_cast<int32_t>(SendMessageA(editor, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                                                    reinterpret_cast<LPARAM>(units.get())));
    if (got != count) return -1;
    const auto* text = reinterpret_cast<const char16_t*>(units.get());
    for (int32_t i = 0; i < std::min(early, count); ++i) {
        if (text[i] != u'\r') return -1;
    }
    const int32_t kept = std::max(count - early, 0);
    ForeignUnits scratch;
    if (!ReserveUnits(&scratch, kScratchUnits) || (g_editorState.unicodeText && !ReserveUnits(foreign, kept))) return -1;
    UnitsToBytes(g_editorState.displayCodePage, g_editorState.unicodeText, text + std::min(early, count), kept, buffer,
                 foreign, scratch);
    std::fill(buffer + kept, buffer + kept + missing, static_cast<unsigned char>('\r'));
    return kept + missing == n ? n : -1;
}

int32_t FindWordBreak(HWND editor, int direction, int32_t pos) {
    const int32_t length = TextLength(editor);
    pos = std::clamp(pos, 0, length);
    // Read a piece around the position, larger until the boundary lies
    // inside it: the cost follows the word, not the document.
    for (int32_t piece = 256;; piece *= 4) {
        const bool right = direction == WB_MOVEWORDRIGHT;
        const int32_t start = right ? pos : std::max(0, pos - piece);
        const int32_t end = right ? std::min(length, pos + piece) : pos;
        HeapBuffer view(static_cast<size_t>(end - start) + 1);
        if (!view) return pos;
        const int32_t n = GetRangeBytes(editor, start, end, view.get(), end - start);
        if (right) {
            const size_t r = WordBreakRightInView(view.get(), n, 0, g_editorState.displayCodePage);
            if (static_cast<int32_t>(r) < n || end == length || n < end - start) return start + static_cast<int32_t>(r);
        } else {
            const size_t r = WordBreakLeftInView(view.get(), n, n, g_editorState.displayCodePage);
            if (r > 0 || start == 0 || n < end - start) return start + static_cast<int32_t>(r);
        }
    }
}

void SetDecodingForNewText(int newCodePage) {
    g_editorState.displayCodePage = newCodePage;
    // An empty control holds no text of the old decoding.
    if (!g_editorState.control || TextLength(g_editorState.control) == 0) g_editorState.textCodePage = newCodePage;
}
