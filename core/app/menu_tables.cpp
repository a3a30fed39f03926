#include "core/app/menu_tables.h"

#include <array>

#include "core/app/command_list.h"

const char* const kTopLevelCaptions[kPopupCount] = {
    "&Файл", "&Правка", "&Выравнивание", "&Разное", "П&оиск", "&Кодировки", "Шр&ифт", "&?",
};

namespace {

struct CaptionEntry {
    int id;
    const char* caption;
};

#define LORK2_CAPTION_ENTRY(id, caption, handler, enabled, checked) {id, caption},
constexpr CaptionEntry kCaptionEntries[] = {LORK2_COMMAND_ROWS(LORK2_CAPTION_ENTRY)};
#undef LORK2_CAPTION_ENTRY

// Captions by identifier: entry i - 1 holds the caption of command i.
constexpr std::array<const char*, kCaptionCount> MakeCaptionTable() {
    std::array<const char*, kCaptionCount> table{};
    for (const char*& caption : table) caption = "";
    for (const CaptionEntry& e : kCaptionEntries)
        if (e.id >= 1 && e.id <= kCaptionCount) table[e.id - 1] = e.caption;
    return table;
}
constexpr std::array<const char*, kCaptionCount> kCaptions = MakeCaptionTable();

// The items of each popup, top first; 0 is a separator.
constexpr int kFile[] = {IDM_NEW, IDM_OPEN, IDM_INSERT_FILE, IDM_SAVE, IDM_SAVE_AS, 0,
                         IDM_RECENT_FIRST + 0, IDM_RECENT_FIRST + 1, IDM_RECENT_FIRST + 2, IDM_RECENT_FIRST + 3,
                         IDM_RECENT_FIRST + 4, IDM_RECENT_FIRST + 5, IDM_RECENT_FIRST + 6, IDM_RECENT_FIRST + 7,
                         IDM_RECENT_FIRST + 8, IDM_RECENT_LAST, 0, IDM_EXIT};
constexpr int kEdit[] = {IDM_UNDO, IDM_REDO, 0, IDM_CUT, IDM_COPY, IDM_PASTE, IDM_DELETE, 0, IDM_SELECT_ALL, IDM_WORD_WRAP};
constexpr int kAlign[] = {IDM_JUSTIFY, IDM_CENTRE, IDM_ALIGN_LEFT, IDM_ALIGN_RIGHT};
constexpr int kMisc[] = {IDM_CHARACTER_TABLE, IDM_DATE_TIME, 0, IDM_RUN, 0, IDM_OPTIONS, IDM_TOOLBAR_SETUP,
                         IDM_ASSOCIATIONS, 0, IDM_PAGE_SETUP, IDM_PREVIEW, IDM_PRINT};
constexpr int kSearch[] = {IDM_FIND, IDM_REPLACE, IDM_FIND_NEXT};
constexpr int kCodePages[] = {IDM_SHOW_ANSI, IDM_SHOW_KOI8, IDM_SHOW_OEM, 0, IDM_TO_FIDO, IDM_RTF_TO_ANSI,
                              IDM_ENCODINGS, IDM_REPAIR_TEXT, IDM_TO_ANSI, IDM_TO_KOI8, IDM_TO_OEM, 0,
                              IDM_QUOTED_PRINTABLE, IDM_LINE_BREAK, IDM_TRANSLIT};
constexpr int kFont[] = {IDM_FONT_OEM, IDM_FONT_KOI8, IDM_FONT_ANSI, 0, IDM_TEXT_COLOUR, IDM_BACKGROUND_COLOUR,
                         IDM_HTML_COLOUR, 0, IDM_SIZE_UP, IDM_SIZE_DOWN, 0, IDM_HTML_REFRESH};
constexpr int kHelp[] = {IDM_HELP, IDM_WEB_PAGE, IDM_MAIL, IDM_ABOUT};

const std::span<const int> kPopups[kPopupCount] = {kFile, kEdit,      kAlign, kMisc,
                                                   kSearch, kCodePages, kFont,  kHelp};

} // namespace

std::string_view CommandCaption(int id) {
    if (id < 1 || id > kCaptionCount) return {};
    return kCaptions[id - 1];
}

std::span<const int> PopupItems(int popup) {
    if (popup < 0 || popup >= kPopupCount) return {};
    return kPopups[popup];
}

char CaptionMnemonic(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == '&' && caption[i + 1] != '&') return caption[i + 1];
    }
    return 0;
}

std::vector<MnemonicEntry> BuildMnemonicTable() {
    std::vector<MnemonicEntry> table;
    for (int popup = 0; popup < kPopupCount; ++popup) {
        std::span<const int> items = PopupItems(popup);
        for (size_t k = items.size(); k-- > 0;) {
            int id = items[k];
            if (IsRecentFileCommand(id)) {
                table.push_back({static_cast<uint8_t>(popup), static_cast<char>('0' + id - IDM_RECENT_FIRST), id});
            } else if (id >= 1 && id <= kCaptionCount) {
                if (char c = CaptionMnemonic(CommandCaption(id)))
                    table.push_back({static_cast<uint8_t>(popup), c, id});
            }
        }
    }
    return table;
}

int FindMnemonicCommand(std::span<const MnemonicEntry> table, int popup, char typed, KeyOfCharacter keyOf,
                        UpperCase upper, IsCommandGrey isGrey) {
    const int typedKey = keyOf(typed);
    for (const MnemonicEntry& e : table) {
        if (e.popup != popup) continue;
        const int key = keyOf(e.character);
        const bool sameKey = (key >= 0 && typedKey >= 0) ? key == typedKey : upper(e.character) == upper(typed);
        if (!sameKey || isGrey(e.id)) continue;
        return e.id;
    }
    return 0;
}
