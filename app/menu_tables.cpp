#include "app/menu_tables.h"

const char* const kTopLevelCaptions[kPopupCount] = {
    "&Файл", "&Правка", "&Выравнивание", "&Разное", "П&оиск", "&Кодировки", "Шр&ифт", "&?",
};

namespace {

// The first letter after the ampersand in the code-page captions is Cyrillic
// (А, О, К, Н), the rest Latin.
const char* const kCaptions[kCaptionCount] = {
    "&Вырезать",                    // 1
    "&Копировать",                  // 2
    "Вст&авить",                    // 3
    "&Отменить",                    // 4
    "",                             // 5
    "&Удалить",                     // 6
    "Созд&ать",                     // 7
    "&Открыть...",                  // 8
    "&Сохранить",                   // 9
    "Пред&варительный просмотр...", // 10
    "&Символ...",                   // 11
    "&Справка",                     // 12
    "&Найти...",                    // 13
    "&Заменить...",                 // 14
    "&Печать...",                   // 15
    "&\xC0NSI (1251)",              // 16
    "&\xCE" "EM (866)",             // 17
    "&\xCAOI8 R",                   // 18
    "По &ширине",                   // 19
    "По &центру",                   // 20
    "По &левому краю",              // 21
    "&По правому краю",             // 22
    "В&ыполнить",                   // 23
    "Пара&метры страницы...",       // 24
    "П&еренос по словам",           // 25
    "Сохранить &как...",            // 26
    "Выбор...",                     // 27
    "Н&айти далее",                 // 28
    "-> A&NSI",                     // 29
    "-> O&EM",                      // 30
    "-> KOI8",                      // 31
    "-> Fido (H,p)",                // 32
    "-> Translit",                  // 33
    "&RTF -> ANSI",                 // 34
    "\"=D8=E0\"",                   // 35
    "&Line Break",                  // 36
    "П&араметры...",                // 37
    "&Вставить из...",              // 38
    "&Дата и время",                // 39
    "&\xC0NSI...",                  // 40
    "&\xCE" "EM...",                // 41
    "&\xCAOI8...",                  // 42
    "В&ыход",                       // 43
    "Настройка &тулбара...",        // 44
    "Цвет &фона...",                // 45
    "Цвет &текста...",              // 46
    "В&ыделить все",                // 47
    "&Размер\t\t+",                 // 48
    "Р&азмер\t\t-",                 // 49
    "&О программе",                 // 50
    "&Цвет <HTML>",                 // 51
    "&\xCDTML :(обновить)",         // 52
    "https://lork2.example.org/",   // 53
    "mailto:lork2@example.org",     // 54
    "&Расширения...",               // 55
};

constexpr int kFile[] = {7, 8, 38, 9, 26, 0, 900, 901, 902, 903, 904, 905, 906, 907, 908, 909, 0, 43};
constexpr int kEdit[] = {4, 0, 1, 2, 3, 6, 0, 47, 25};
constexpr int kAlign[] = {19, 20, 21, 22};
constexpr int kMisc[] = {11, 39, 0, 23, 0, 37, 44, 55, 0, 24, 10, 15};
constexpr int kSearch[] = {13, 14, 28};
constexpr int kCodePages[] = {16, 18, 17, 0, 32, 34, 27, 29, 31, 30, 0, 35, 36, 33};
constexpr int kFont[] = {41, 42, 40, 0, 46, 45, 51, 0, 48, 49, 0, 52};
constexpr int kHelp[] = {12, 53, 54, 50};

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
            if (id >= kRecentFirst && id < kRecentFirst + kRecentCount) {
                table.push_back({static_cast<uint8_t>(popup), static_cast<char>('0' + id - kRecentFirst), id});
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
