// What the font dialog offers and how its choices become the stored font of
// a code page: the preview sample, the size, character-set and effect
// choices, and the face name cut to the font record.
#pragma once

#include <array>
#include <cstdint>

// The preview sample in CP866, 72 bytes, lines separated by CR LF: a line of
// Russian text and a face drawn with box-drawing characters.
constexpr std::size_t kFontSampleSize = 72;
extern const unsigned char kFontSample[kFontSampleSize];

// The sample as code page `codePage` (0 1251, 1 866, 2 KOI8-R) shows it:
// unchanged for 866, otherwise every byte from 0x80 up converted from CP866
// (1251 draws the frame with look-alikes).
std::array<unsigned char, kFontSampleSize> FontPreviewText(int codePage);

// The character sets offered, in list order.
struct CharsetChoice {
    const char* name;
    int value;
};
constexpr int kCharsetChoiceCount = 3;
extern const CharsetChoice kCharsetChoices[kCharsetChoiceCount];
// The list entry of a stored character set, -1 when it is none of them.
int CharsetIndex(int charset);
// What "ОК" stores: the selected entry's value; with nothing selected, the
// default of the code page (a stored set the list cannot show is replaced).
int ChosenCharset(int index, int codePage);

// Sizes 1 to 20 points; list entry i is i + 1 points, (i + 1) * 20 twips.
constexpr int kSizeChoiceCount = 20;
// The list entry shown for a stored size in twips: size / 20 points, or -1
// when that is not 1 to 20.
int SizeIndex(int32_t twips);
// What "ОК" stores: the selected entry's size; with nothing selected (a size
// the list cannot show, such as 26 points reached with the size commands),
// the stored size stays.
int32_t ChosenSize(int index, int32_t storedTwips);

// The sizes a font is shown, previewed and printed at: 1 point (20 twips) up
// to the 26 points the size commands reach (520 twips). A stored size of 0 or
// less means none (the control keeps its own) and stays 0; one outside the
// range (a hand-edited or damaged setting) is taken at the nearer end, so
// that no screen or printer font is made thousands of points high.
constexpr int32_t kSmallestFontTwips = 20;
constexpr int32_t kLargestFontTwips = 520;
int32_t ShownFontSize(int32_t storedTwips);

// Bit 0 bold, bit 1 italic, as the stored effects hold them.
int32_t EffectsOf(bool bold, bool italic);

// The font record holds a face name of 31 bytes and its NUL: a longer name
// is cut to fit.
constexpr std::size_t kFaceNameSize = 32;
void CutFaceName(const char* text, char (&face)[kFaceNameSize]);
