// How much a text reads like Russian, and ASCII like Latin text: costs in
// quarter bits under the letter models of model.h, with costs of their own
// for what the models cannot see (letters of two alphabets in one word,
// capitals inside words, marks glued to letters, characters of no class).
#pragma once

#include <cstddef>

#include "core/repair/encodings.h"

namespace repair {

// A capital right after a small letter of the same alphabet in one word.
constexpr long kCaseCost = 72;

// Minus the text's cost: higher reads better.
long Score(const char32_t* text, std::size_t n, const Tables& t);
inline long Score(const Text& text, const Tables& t) { return Score(text.data(), text.size(), t); }
// Plain Russian prose: Russian letters from А to я, ё inside words, and
// printable ASCII, blanks and line ends only; capitals only at the start of
// a word of letters, with a letter after them, or in a word of capitals.
// The marks of typography are not among them, nor are Ё and a word's first
// ё: in Mac Cyrillic they stand where 1251 has capitals (Э and Ю). Its
// score and its count of Russian letters; false for other text.
bool ScorePlainProse(const char32_t* text, std::size_t n, const Tables& t, long& score, long& letters);

// The cost of ASCII text under the Latin model (English, and Russian written
// in Latin letters), with the same cost for a capital after a small letter.
long LatinCost(const unsigned char* p, std::size_t n);

// A reading's score on the text it gives: the model's, less the costs of
// its wrong readings and rare encodings, with the bonus of the text as it
// stands (`asItStands`, or -1).
long ReadingScore(const RepairReading& r, const char32_t* text, std::size_t n, int asItStands, const Tables& t);
// What ReadingScore adds to the model's score.
long ReadingCosts(const RepairReading& r, int asItStands);
// No text of these characters scores higher than this, found in one look
// at each: a character of no class costs kOtherCost at least, any other
// step of the model the bias less at most.
long ScoreBound(const char32_t* text, std::size_t n, const Tables& t);
// A plain reading in an encoding text is commonly saved in.
bool IsCommonPlain(const RepairReading& r);
// What any reading but the text as it stands must beat it by.
long StandingMargin();

} // namespace repair
