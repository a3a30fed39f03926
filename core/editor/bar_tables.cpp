#include "core/editor/bar_tables.h"

#include <cstdio>

#include "core/app/command_ids.h"
#include "core/charset/display_map.h"
#include "core/charset/encodings.h"

namespace {

// Standard images by the common controls' numbers (STD_CUT 0 ... STD_PRINT 14).
enum : int {
    kStdCut = 0, kStdCopy, kStdPaste, kStdUndo, kStdRedo, kStdDelete, kStdFileNew, kStdFileOpen, kStdFileSave,
    kStdPrintPreview, kStdProperties, kStdHelp, kStdFind, kStdReplace, kStdPrint
};
constexpr int Own(int k) { return kOwnImageFirst + k; }

constexpr ToolbarItem kCatalogue[] = {
    {IDM_CUT, kStdCut, false},
    {IDM_COPY, kStdCopy, false},
    {IDM_PASTE, kStdPaste, false},
    {IDM_UNDO, kStdUndo, false},
    {IDM_REDO, kRedoImage, false},
    {IDM_INSERT_FILE, kStdFileOpen, false},
    {IDM_DELETE, kStdDelete, false},
    {IDM_NEW, kStdFileNew, false},
    {IDM_OPEN, kStdFileOpen, false},
    {IDM_SAVE, kStdFileSave, false},
    {IDM_PREVIEW, kStdPrintPreview, false},
    {IDM_CHARACTER_TABLE, kStdProperties, false},
    {IDM_HELP, kStdHelp, false},
    {IDM_FIND, kStdFind, false},
    {IDM_REPLACE, kStdReplace, false},
    {IDM_PRINT, kStdPrint, false},
    {IDM_TO_ANSI, Own(0), false},
    {IDM_TO_OEM, Own(1), false},
    {IDM_TO_KOI8, Own(2), false},
    {IDM_JUSTIFY, Own(3), false},
    {IDM_CENTRE, Own(4), false},
    {IDM_ALIGN_LEFT, Own(5), false},
    {IDM_ALIGN_RIGHT, Own(6), false},
    {IDM_RUN, Own(7), false},
    {IDM_PAGE_SETUP, kStdProperties, false},
    {IDM_WORD_WRAP, kStdProperties, true},
    {IDM_SAVE_AS, kStdFileSave, false},
    {IDM_OPTIONS, kStdProperties, false},
    {IDM_TO_FIDO, Own(8), false},
    {IDM_TRANSLIT, Own(8), false},
    {IDM_RTF_TO_ANSI, Own(8), false},
    {IDM_QUOTED_PRINTABLE, Own(8), false},
    {IDM_LINE_BREAK, Own(8), false},
};
static_assert(sizeof kCatalogue / sizeof kCatalogue[0] == 33, "the customise dialog offers 33 buttons");

constexpr int kDefaultButtons[] = {IDM_NEW, IDM_OPEN, IDM_SAVE, 0, IDM_CUT, IDM_COPY, IDM_PASTE, 0, IDM_UNDO};

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size()) return false;
    std::string_view tail = name.substr(name.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

} // namespace

std::span<const ToolbarItem> ToolbarCatalogue() { return kCatalogue; }

const ToolbarItem* ToolbarItemOfCommand(int command) {
    for (const ToolbarItem& item : kCatalogue)
        if (item.command == command) return &item;
    return nullptr;
}

std::span<const int> DefaultToolbarButtons() { return kDefaultButtons; }

size_t FormatCaretField(uint32_t column, uint32_t line, char* out, size_t size) {
    if (!out || size == 0) return 0;
    int n = snprintf(out, size, "%4u:%u", static_cast<unsigned>(column), static_cast<unsigned>(line));
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) < size ? static_cast<size_t>(n) : size - 1;
}

const char* CodePageFieldName(int codePage) {
    return codePage >= 0 && codePage < kDisplayCodePageCount ? kEncodings[codePage].caption : "";
}

const char* ModeFieldText(bool overwrite) { return overwrite ? "Замена" : "Вставка"; }

void KeyboardFieldText(std::string_view abbreviation, char out[3]) {
    size_t n = 0;
    for (; n < 2 && n < abbreviation.size() && abbreviation[n]; ++n) {
        char c = abbreviation[n];
        out[n] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out[n] = '\0';
}

void ResetCaretFieldCache(CaretFieldCache& cache) { cache = CaretFieldCache{}; }

bool UpdateCaretFieldCache(CaretFieldCache& cache, int32_t start, int32_t end, const CaretQueries& queries,
                           CaretPosition& position) {
    if (start == cache.start && end == cache.end) return false;
    cache.start = start;
    cache.end = end;
    const int32_t rows = queries.rowCount();
    bool sameRow = false;
    if (cache.rowKnown && start == end && rows == cache.rowCount && start >= cache.rowStart)
        sameRow = queries.caretRowStart() == cache.rowStart;
    if (!sameRow) {
        int32_t row = queries.rowOfPosition(start);
        if (row < 0) row = 0;
        int32_t first = queries.rowStart(row);
        if (first < 0 || first > start) first = start;
        cache.row = row;
        cache.rowStart = first;
        cache.rowCount = rows;
        cache.rowKnown = true;
    }
    position.column = static_cast<uint32_t>(start - cache.rowStart) + 1;
    position.line = static_cast<uint32_t>(cache.row) + 1;
    return true;
}

MenuIcon RecentFileIcon(std::string_view name) {
    if (EndsWithNoCase(name, ".htm") || EndsWithNoCase(name, ".html") || EndsWithNoCase(name, ".shtml"))
        return MenuIcon::Html;
    if (EndsWithNoCase(name, ".txt")) return MenuIcon::Program;
    return MenuIcon::None;
}

MenuIcon CommandIcon(int id, std::string_view text) {
    if (id >= IDM_RECENT_FIRST && id <= IDM_RECENT_LAST) return RecentFileIcon(text);
    if (id == IDM_ABOUT) return MenuIcon::Program;
    if (id == IDM_WEB_PAGE || id == IDM_MAIL) return MenuIcon::Html;
    return MenuIcon::None;
}

MenuImage MenuItemImage(int id, bool checked, bool greyed, MenuIcon icon) {
    if (greyed) return {false, MenuImageKind::None, 0};
    if (icon != MenuIcon::None) return {true, MenuImageKind::Icon, 0};
    if (id == IDM_WORD_WRAP) return {true, MenuImageKind::CheckBox, 0};
    if (id >= IDM_SHOW_ANSI && id <= IDM_SHOW_KOI8 && !checked) return {false, MenuImageKind::None, 0};
    if (id == IDM_REDO) return {true, MenuImageKind::Own, kRedoImage - kOwnImageFirst};
    if (id >= 1 && id <= IDM_PRINT) return {true, MenuImageKind::Standard, id - 1};
    if (id >= IDM_SHOW_ANSI && id <= IDM_RUN) return {true, MenuImageKind::Own, id - IDM_SHOW_ANSI};
    return {false, MenuImageKind::None, 0};
}

void StatusFieldEdgesAt(int dpi, int edges[kStatusFieldCount]) {
    if (dpi < 1) dpi = 96;
    if (dpi > 9600) dpi = 9600; // a hundred times the usual: surely a wrong answer
    for (int i = 0; i < kStatusFieldCount; ++i) {
        const int edge = kStatusFieldEdges[i];
        edges[i] = edge < 0 ? edge : static_cast<int>((static_cast<int64_t>(edge) * dpi + 48) / 96);
    }
}

int ImageScaleAt(int dpi) { return dpi >= 144 ? 2 : 1; }
