#include "core/dialogs/font_choices.h"

#include "core/app/setting_names.h"
#include "core/charset/convert.h"
#include "core/charset/tables.h"

#include <algorithm>

// "Face кривой?" and a framed face, in CP866.
const unsigned char kFontSample[kFontSampleSize] = {
    'F', 'a', 'c', 'e', ' ', 0xAA, 0xE0, 0xA8, 0xA2, 0xAE, 0xA9, '?', '\r', '\n',  // Face кривой?
    0xDA, 0xC4, 0xC4, 0xC4, 0xC4, 0xC4, 0xC4, 0xBF, '\r', '\n',                    // ┌──────┐
    0xB3, ' ', '\\', ' ', ' ', '/', ' ', 0xB3, '\r', '\n',                         // │ \  / │
    0xB3, ' ', 'O', ' ', ' ', 'O', ' ', 0xB3, '\r', '\n',                          // │ O  O │
    0xB3, ' ', ' ', '.', '.', ' ', ' ', 0xB3, '\r', '\n',                          // │  ..  │
    0xB3, ' ', ' ', 0xC4, 0xC4, ' ', ' ', 0xB3, '\r', '\n',                        // │  ──  │
    0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xC4, 0xC4, 0xD9,                                // └──────┘
};

const CharsetChoice kCharsetChoices[kCharsetChoiceCount] = {
    {"RUSSIAN_CHARSET", 204},
    {"OEM_CHARSET", 255},
    {"DEFAULT_CHARSET", 1},
};

std::array<unsigned char, kFontSampleSize> FontPreviewText(int codePage) {
    std::array<unsigned char, kFontSampleSize> text{};
    for (std::size_t i = 0; i < kFontSampleSize; ++i) text[i] = kFontSample[i];
    if (codePage == kCodePageAnsi || codePage == kCodePageKoi8)
        ConvertBytes(text.data(), text.size(), kNoTable, FromOemTable[codePage]);
    return text;
}

int CharsetIndex(int charset) {
    for (int i = 0; i < kCharsetChoiceCount; ++i)
        if (kCharsetChoices[i].value == charset) return i;
    return -1;
}

int ChosenCharset(int index, int codePage) {
    if (index >= 0 && index < kCharsetChoiceCount) return kCharsetChoices[index].value;
    return setting::FontCharset(codePage).defaultValue;
}

int SizeIndex(int32_t twips) {
    const int32_t points = twips / 20;
    return points >= 1 && points <= kSizeChoiceCount ? static_cast<int>(points - 1) : -1;
}

int32_t ChosenSize(int index, int32_t storedTwips) {
    if (index < 0 || index >= kSizeChoiceCount) return storedTwips;
    return index * 20 + 20;
}

int32_t ShownFontSize(int32_t storedTwips) {
    if (storedTwips <= 0) return 0;
    return std::clamp(storedTwips, kSmallestFontTwips, kLargestFontTwips);
}

int32_t EffectsOf(bool bold, bool italic) { return (bold ? 1 : 0) | (italic ? 2 : 0); }

void CutFaceName(const char* text, char (&face)[kFaceNameSize]) {
    std::size_t n = 0;
    if (text)
        for (; n + 1 < kFaceNameSize && text[n]; ++n) face[n] = text[n];
    face[n] = '\0';
}
