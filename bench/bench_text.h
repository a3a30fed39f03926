// The benchmark text: 50 MB of deterministic Russian prose.
#pragma once

#include <cstring>
#include <random>
#include <vector>

#include "core/charset/convert.h"
#include "core/charset/tables.h"

namespace {

constexpr std::size_t kTextSize = 50u << 20;

// Deterministic Russian prose in CP866: words of a small vocabulary, lines of
// about 60 to 75 columns ending in CR LF, a blank line between paragraphs.
const std::vector<unsigned char>& OemText() {
    static const std::vector<unsigned char> text = [] {
        // In 1251 here, turned into CP866 below.
        const char* vocabulary[] = {"и", "в", "не", "на", "что", "текст", "строка", "редактор", "кодировка",
                                    "перевод", "абзац", "выравнивание", "по", "ширине", "слово", "буква",
                                    "Москва", "документ", "файл", "открыть", "сохранить", "поиск", "замена",
                                    "печать", "страница", "шрифт", "таблица", "символ", "это", "был", "который",
                                    "съешь", "ещё", "этих", "мягких", "французских", "булок", "да", "выпей", "чаю"};
        std::mt19937 rng(866);
        std::vector<unsigned char> t;
        t.reserve(kTextSize + 128);
        std::size_t column = 0;
        int linesInParagraph = 0;
        while (t.size() < kTextSize) {
            const char* w = vocabulary[rng() % (sizeof vocabulary / sizeof *vocabulary)];
            const std::size_t len = std::strlen(w);
            if (column + len + 1 > 60 + rng() % 16) {
                t.push_back('\r');
                t.push_back('\n');
                column = 0;
                if (++linesInParagraph > 3 + static_cast<int>(rng() % 8)) {
                    t.push_back('\r');
                    t.push_back('\n');
                    linesInParagraph = 0;
                }
            } else if (column > 0) {
                t.push_back(rng() % 9 == 0 ? ',' : ' ');
                if (t.back() == ',') t.push_back(' ');
                column += t.back() == ' ' ? 1 : 2;
            }
            t.insert(t.end(), w, w + len);
            column += len;
        }
        t.resize(kTextSize);
        ConvertBytes(t.data(), t.size(), kTableAnsiToOem, kNoTable);
        return t;
    }();
    return text;
}

const std::vector<unsigned char>& AnsiText() {
    static const std::vector<unsigned char> text = [] {
        std::vector<unsigned char> t = OemText();
        ConvertBytes(t.data(), t.size(), kNoTable, kTableOemToAnsi);
        return t;
    }();
    return text;
}

} // namespace
