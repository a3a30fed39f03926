#include "core/search/search_text.h"

#include "core/charset/convert.h"
#include "core/charset/tables.h"

namespace {

std::string Converted(std::string_view bytes, int fromTable, int toTable) {
    std::string out(bytes);
    ConvertBytes(reinterpret_cast<unsigned char*>(out.data()), out.size(), fromTable, toTable);
    return out;
}

} // namespace

std::string TypedToDisplay(std::string_view typed, int cp) {
    switch (cp) {
    case kCodePageOem: return Converted(typed, kTableAnsiToOem, kNoTable);
    case kCodePageKoi8: return Converted(typed, kTableAnsiToOem, kTableOemToKoi8);
    default: return std::string(typed);
    }
}

std::string DisplayToTyped(std::string_view shown, int cp) {
    switch (cp) {
    case kCodePageOem: return Converted(shown, kNoTable, kTableOemToAnsi);
    case kCodePageKoi8: return Converted(shown, kTableKoi8ToOem, kTableOemToAnsi);
    default: return std::string(shown);
    }
}

std::string WordForSearchField(std::string_view range, int cp) {
    std::string word;
    for (char c : range) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0 || word.size() == kSearchTextMax) break;
        if (b > 32) word += c;
    }
    return DisplayToTyped(word, cp);
}

HistoryEntries UpdateSearchHistory(const HistoryEntries& before, std::string_view text) {
    std::size_t i = 0;
    while (i < kHistoryEntries && !before[i].empty() && before[i] != text) ++i;
    if (i == kHistoryEntries) i = kHistoryEntries - 1;
    HistoryEntries after = before;
    for (std::size_t j = i; j > 0; --j) after[j] = before[j - 1];
    after[0] = std::string(text);
    return after;
}
