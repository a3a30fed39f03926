#include "print/page_layout.h"

#include <richedit.h>

#include <algorithm>
#include <bitset>
#include <iterator>
#include <new>
#include <vector>

#include "base/scoped.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/charset/char_map.h"
#include "core/charset/display_map.h"
#include "core/print/page_layout_core.h"
#include "editor/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace {

// The editor's font for the current display code page; the size the control
// uses when none is stored.
CHARFORMATA EditorCharFormat(HWND editor) {
    CHARFORMATA format = CharFormatOfDisplayCodePage();
    if (!(format.dwMask & CFM_SIZE) || format.yHeight <= 0) {
        CHARFORMATA shown{};
        shown.cbSize = sizeof shown;
        SendMessageA(editor, EM_GETCHARFORMAT, FALSE, reinterpret_cast<LPARAM>(&shown));
        format.yHeight = (shown.dwMask & CFM_SIZE) && shown.yHeight > 0 ? shown.yHeight : 200;
    }
    return format;
}

// The font at a device of `dpiY` dots per inch. The characters are drawn as
// the display map's UTF-16 characters, so the character set only steers the
// choice of face, as it does on the screen.
HFONT CreateEditorFont(const CHARFORMATA& format, int dpiY) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv64(format.yHeight, dpiY, 1440);
    if (lf.lfHeight == 0) lf.lfHeight = -1;
    lf.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (format.dwEffects & CFE_ITALIC) ? TRUE : FALSE;
    lf.lfCharSet = format.bCharSet;
    lf.lfPitchAndFamily = format.bPitchAndFamily;
    MultiByteToWideChar(CP_ACP, 0, format.szFaceName, -1, lf.lfFaceName, LF_FACESIZE);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return CreateFontIndirectW(&lf);
}

// The character byte b shows: the code page's own in a Unicode document,
// else the display map's.
wchar_t ShownChar(const ShownText& text, unsigned char b) {
    return text.unicode ? static_cast<wchar_t>(CodePageChar(text.codePage, b))
                        : static_cast<wchar_t>(DisplayChar(text.codePage, b));
}

// Faces that hold most of what a document font lacks (signs, arrows, other
// scripts), tried in turn for a foreign character the font has no glyph
// for; the first that has it draws it.
constexpr const wchar_t* kFallbackFaces[] = {L"Segoe UI Symbol", L"Arial Unicode MS", L"DejaVu Sans",
                                             L"Noto Sans Symbols"};
constexpr int kFallbacks = static_cast<int>(std::size(kFallbackFaces));

// The fallback fonts of one context at the document font's height, made
// when first needed.
struct Fallbacks {
    Fallbacks(HDC context, LONG fontHeight) : dc(context), height(fontHeight) {}
    HDC dc;
    LONG height;
    ScopedGdiObject fonts[kFallbacks];
    bool tried[kFallbacks] = {};
};

bool HasGlyph(HDC dc, wchar_t c) {
    WORD glyph = 0xFFFF;
    return GetGlyphIndicesW(dc, &c, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF;
}

// The font that draws c: null for the one selected into the context (also
// when no fallback has c), else a fallback font.
HFONT FontFor(Fallbacks& f, wchar_t c) {
    if (c >= 0xD800 && c < 0xE000 ? false : HasGlyph(f.dc, c)) return nullptr;
    for (int i = 0; i < kFallbacks; ++i) {
        if (!f.tried[i]) {
            f.tried[i] = true;
            LOGFONTW lf{};
            lf.lfHeight = f.height;
            lf.lfCharSet = DEFAULT_CHARSET;
            lstrcpynW(lf.lfFaceName, kFallbackFaces[i], LF_FACESIZE);
            *f.fonts[i].out() = CreateFontIndirectW(&lf);
        }
        if (!f.fonts[i]) continue;
        ScopedSelectObject select(f.dc, f.fonts[i].get());
        if (HasGlyph(f.dc, c)) return static_cast<HFONT>(f.fonts[i].get());
    }
    return nullptr;
}

LONG FontHeight(HDC dc) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    return -(tm.tmHeight - tm.tmInternalLeading);
}

// The widest foreign character at the target: the width a stand-in takes.
int32_t WidestForeign(HDC target, const ForeignUnits& foreign) {
    Fallbacks fallbacks(target, FontHeight(target));
    std::bitset<0x10000> seen;
    int32_t widest = 0;
    for (std::size_t i = 0; i < foreign.size(); ++i) {
        const char16_t u = foreign[i];
        if (ForeignByteOf(u) != kForeignByte) continue;
        const bool pair = u >= 0xD800 && u < 0xDC00 && i + 1 < foreign.size() && foreign[i + 1] >= 0xDC00 &&
                          foreign[i + 1] < 0xE000;
        if (!pair && seen[u]) continue;
        seen[u] = true;
        SIZE size{};
        const wchar_t chars[2] = {static_cast<wchar_t>(u), pair ? static_cast<wchar_t>(foreign[i + 1]) : L' '};
        ScopedSelectObject select(target, FontFor(fallbacks, chars[0]));
        if (GetTextExtentPoint32W(target, chars, pair ? 2 : 1, &size)) widest = std::max<int32_t>(widest, size.cx);
    }
    return widest;
}

bool MeasureAtTarget(HDC target, const ShownText& text, LayoutMetrics& m) {
    ScopedGdiObject font(CreateEditorFont(text.format, GetDeviceCaps(target, LOGPIXELSY)));
    if (!font.get()) return false;
    ScopedSelectObject select(target, font.get());
    for (int b = 0; b < 256; ++b) {
        INT width = 0;
        const UINT c = ShownChar(text, static_cast<unsigned char>(b));
        if (!GetCharWidth32W(target, c, c, &width)) width = 0;
        m.advance[b] = width;
    }
    if (text.unicode) {
        m.advance[kForeignByte] = WidestForeign(target, text.foreign);
        m.advance[kForeignMarkByte] = 0;
    }
    TEXTMETRICW tm{};
    GetTextMetricsW(target, &tm);
    m.lineHeight = std::max<LONG>(tm.tmHeight, 1);
    m.tabWidth = std::max(GetDeviceCaps(target, LOGPIXELSX) / 2, 1); // every half inch
    return true;
}

COLORREF ShownColour(const CHARFORMATA& format) {
    if (format.dwEffects & CFE_AUTOCOLOR) return GetSysColor(COLOR_WINDOWTEXT);
    return format.crTextColor;
}

struct DrawScale {
    int targetX, targetY, drawX, drawY;
    int32_t X(int64_t targetUnits) const { return MulDiv64(static_cast<int32_t>(targetUnits), drawX, targetX); }
    int32_t Y(int64_t targetUnits) const { return MulDiv64(static_cast<int32_t>(targetUnits), drawY, targetY); }
};

// A run of characters from x, each one dx from the last when `placed`;
// those with a fallback font are drawn in it, where the run left a blank.
void DrawRun(HDC dc, int32_t x, int32_t y, wchar_t* chars, const INT* dx, const HFONT* fallback, size_t n,
             bool placed) {
    bool any = false;
    for (size_t i = 0; i < n; ++i) any = any || fallback[i];
    if (!any) {
        ExtTextOutW(dc, x, y, 0, nullptr, chars, static_cast<UINT>(n), placed ? dx : nullptr);
        return;
    }
    std::vector<wchar_t> own(chars, chars + n);
    for (size_t i = 0; i < n; ++i)
        if (fallback[i]) own[i] = L' ';
    ExtTextOutW(dc, x, y, 0, nullptr, own.data(), static_cast<UINT>(n), dx);
    int32_t at = x;
    for (size_t i = 0; i < n; at += dx[i], ++i) {
        if (!fallback[i]) continue;
        ScopedSelectObject select(dc, fallback[i]);
        const UINT units = i + 1 < n && chars[i] >= 0xD800 && chars[i] < 0xDC00 ? 2 : 1;
        ExtTextOutW(dc, at, y, 0, nullptr, chars + i, units, nullptr);
    }
}

void DrawPage(const ShownText& text, const PageFormat& f, const LaidPage& page) {
    const LayoutMetrics& m = text.metrics;
    const unsigned char* view = text.bytes.data() + f.first;
    const DrawScale scale{GetDeviceCaps(f.hdcTarget, LOGPIXELSX), GetDeviceCaps(f.hdcTarget, LOGPIXELSY),
                          GetDeviceCaps(f.hdc, LOGPIXELSX), GetDeviceCaps(f.hdc, LOGPIXELSY)};
    if (scale.targetX <= 0 || scale.targetY <= 0) return;
    ScopedGdiObject font(CreateEditorFont(text.format, scale.drawY));
    if (!font.get()) return;
    ScopedSelectObject select(f.hdc, font.get());
    const int oldAlign = SetTextAlign(f.hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    // On paper the page is the background: the printer's context keeps its
    // white background colour, and painting it behind every run made the
    // driver fill a rectangle for each. The preview shows the editor's
    // background colour behind the text.
    const bool toTarget = f.hdc == f.hdcTarget;
    const int oldMode = SetBkMode(f.hdc, toTarget ? TRANSPARENT : OPAQUE);
    const COLORREF textColour = ShownColour(text.format);
    const COLORREF oldColour = SetTextColor(f.hdc, textColour);

    // The bytes the page shows, and which of them are in a tag.
    const size_t shown = page.lines.empty() ? 0 : page.lines.back().end;
    std::vector<unsigned char> tags(shown, 0);
    if (text.htmlColoured && shown > 0)
        MarkHtmlTags(text.bytes.data(), text.bytes.size(), static_cast<size_t>(f.first), shown, tags.data());
    const int32_t left = MulDiv64(f.rc.left, scale.drawX, 1440);
    const int32_t top = MulDiv64(f.rc.top, scale.drawY, 1440);
    std::vector<int32_t> advances;
    std::vector<wchar_t> chars;
    std::vector<INT> dx;
    // The font each foreign character is drawn in where the document font
    // lacks it; those are drawn after the run, in the places it leaves.
    std::vector<HFONT> fallback;
    Fallbacks fallbacks(f.hdc, FontHeight(f.hdc));
    // The foreign unit of the next stand-in.
    std::size_t unit = static_cast<std::size_t>(
        std::lower_bound(text.foreignAt.begin(), text.foreignAt.end(), f.first) - text.foreignAt.begin());
    int64_t y = 0;
    for (const LaidLine& line : page.lines) {
        const size_t count = line.end - line.start;
        advances.resize(count);
        chars.resize(count);
        dx.resize(count);
        fallback.resize(count);
        LineAdvances(view, line, m, advances.data());
        // Positions at the target, scaled as a whole so that rounding never
        // adds up along the line.
        int64_t x = 0;
        int32_t drawnX = 0;
        bool foreign = false;
        for (size_t i = 0; i < count; ++i) {
            const unsigned char b = view[line.start + i];
            const int32_t at = f.first + static_cast<int32_t>(line.start + i);
            while (unit < text.foreignAt.size() && text.foreignAt[unit] < at) ++unit;
            if (unit < text.foreignAt.size() && text.foreignAt[unit] == at) {
                chars[i] = static_cast<wchar_t>(text.foreign[unit++]);
                foreign = true;
                fallback[i] = FontFor(fallbacks, chars[i]);
            } else {
                fallback[i] = nullptr;
                chars[i] = b == '\t' ? L' ' : ShownChar(text, b);
            }
            x += advances[i];
            const int32_t to = scale.X(x);
            dx[i] = to - drawnX;
            drawnX = to;
        }
        // One run per colour. Drawn where the lines were laid out, each
        // character is placed by its own width, so the widths go along only
        // when the context is not the target itself: a printer driver given
        // them positions every character on its own, which costs it a move
        // per character (about an eighth of a printed page's time). On the
        // target the runs break at tabs instead, which are not drawn.
        size_t runStart = 0;
        int32_t runX = 0;
        while (runStart < count) {
            const unsigned char tag = tags[line.start + runStart];
            const bool tab = view[line.start + runStart] == '\t';
            size_t runEnd = runStart + 1;
            int32_t runWidth = dx[runStart];
            while (runEnd < count && tags[line.start + runEnd] == tag &&
                   (!toTarget || (view[line.start + runEnd] == '\t') == tab))
                runWidth += dx[runEnd++];
            if (!(toTarget && tab)) {
                // A foreign character's cell is not its own width: such a
                // line takes the widths along.
                SetTextColor(f.hdc, tag ? text.tagColour : textColour);
                DrawRun(f.hdc, left + runX, top + scale.Y(y), chars.data() + runStart, dx.data() + runStart,
                        fallback.data() + runStart, runEnd - runStart, !toTarget || foreign);
            }
            runX += runWidth;
            runStart = runEnd;
        }
        y += m.lineHeight;
    }
    SetTextColor(f.hdc, oldColour);
    SetBkMode(f.hdc, oldMode);
    SetTextAlign(f.hdc, oldAlign);
}

} // namespace

bool TakeShownText(HWND editor, ShownText& text) {
    text = ShownText{};
    const int32_t length = TextLength(editor);
    try {
        text.bytes.resize(static_cast<size_t>(length) + 2);
    } catch (const std::bad_alloc&) {
        text.bytes.clear();
        return false;
    }
    text.unicode = UnicodeDocument();
    const int32_t n =
        StreamBytesOut(editor, false, text.bytes.data(), length + 2, text.unicode ? &text.foreign : nullptr);
    if (n < 0) {
        text.bytes.clear();
        return false;
    }
    text.bytes.resize(static_cast<size_t>(n));
    try {
        text.foreignAt.reserve(text.foreign.size());
        for (int32_t i = 0; i < n && text.foreignAt.size() < text.foreign.size(); ++i)
            if (IsForeignByte(text.bytes[static_cast<size_t>(i)])) text.foreignAt.push_back(i);
    } catch (const std::bad_alloc&) {
        text = ShownText{};
        return false;
    }
    text.codePage = DisplayCodePage();
    text.format = EditorCharFormat(editor);
    text.htmlColoured = HtmlColoured();
    text.tagColour = static_cast<COLORREF>(ReadSetting(setting::HtmlColour));
    return true;
}

int32_t FormatPage(ShownText& text, const PageFormat& f, bool draw) {
    const int32_t length = static_cast<int32_t>(text.bytes.size());
    const int32_t last = (f.last < 0 || f.last > length) ? length : f.last;
    const int32_t first = std::clamp(f.first, 0, length);
    if (first >= last || !f.hdcTarget) return std::max(first, last);

    if (text.measuredFor != f.hdcTarget) {
        if (!MeasureAtTarget(f.hdcTarget, text, text.metrics)) return first;
        text.measuredFor = f.hdcTarget;
    }
    const int dpiX = GetDeviceCaps(f.hdcTarget, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(f.hdcTarget, LOGPIXELSY);
    const int32_t width = MulDiv64(f.rc.right - f.rc.left, dpiX, 1440);
    const int32_t height = MulDiv64(f.rc.bottom - f.rc.top, dpiY, 1440);
    const LaidPage page =
        LayOutPage(text.bytes.data() + first, static_cast<size_t>(last - first), text.metrics, width, height);
    if (draw && f.hdc) {
        PageFormat at = f;
        at.first = first;
        DrawPage(text, at, page);
    }
    return first + static_cast<int32_t>(page.next);
}
