#include "print/page_layout.h"

#include <richedit.h>

#include <algorithm>
#include <new>
#include <vector>

#include "base/scoped.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
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

bool MeasureAtTarget(HDC target, const CHARFORMATA& format, int codePage, LayoutMetrics& m) {
    ScopedGdiObject font(CreateEditorFont(format, GetDeviceCaps(target, LOGPIXELSY)));
    if (!font.get()) return false;
    ScopedSelectObject select(target, font.get());
    for (int b = 0; b < 256; ++b) {
        INT width = 0;
        const UINT c = DisplayChar(codePage, static_cast<unsigned char>(b));
        if (!GetCharWidth32W(target, c, c, &width)) width = 0;
        m.advance[b] = width;
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
    int64_t y = 0;
    for (const LaidLine& line : page.lines) {
        const size_t count = line.end - line.start;
        advances.resize(count);
        chars.resize(count);
        dx.resize(count);
        LineAdvances(view, line, m, advances.data());
        // Positions at the target, scaled as a whole so that rounding never
        // adds up along the line.
        int64_t x = 0;
        int32_t drawnX = 0;
        for (size_t i = 0; i < count; ++i) {
            const unsigned char b = view[line.start + i];
            chars[i] = b == '\t' ? L' ' : static_cast<wchar_t>(DisplayChar(text.codePage, b));
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
                SetTextColor(f.hdc, tag ? text.tagColour : textColour);
                ExtTextOutW(f.hdc, left + runX, top + scale.Y(y), 0, nullptr, chars.data() + runStart,
                            static_cast<UINT>(runEnd - runStart), toTarget ? nullptr : dx.data() + runStart);
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
    text.bytes.resize(static_cast<size_t>(StreamBytesOut(editor, false, text.bytes.data(), length + 2)));
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
        if (!MeasureAtTarget(f.hdcTarget, text.format, text.codePage, text.metrics)) return first;
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
