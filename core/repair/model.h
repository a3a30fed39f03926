// The letter models the text repair scores its readings with: costs of
// letter-class trigrams, made by tools/make_repair_model.py.
#pragma once

// The classes of the Russian model: a word boundary (blanks, digits, ASCII
// signs and the marks of ordinary text), а..я, ё, any Latin letter, and
// anything else.
constexpr int kClassBoundary = 0;
constexpr int kClassFirstRussian = 1; // а (А); я is 32
constexpr int kClassYo = 33;          // ё, the last Russian class
constexpr int kClassLatin = 34;
constexpr int kClassOther = 35;
constexpr int kRepairClasses = 36;

constexpr bool IsRussianClass(int k) { return k >= kClassFirstRussian && k <= kClassYo; }

// Every table holds a cost in quarter bits plus this, as a printable
// character.
constexpr int kRepairCostBias = 33;

extern const char kRepairTrigrams[];
// Russian right after a word boundary: the first letters of words.
extern const char kRepairWordStarts[];

// The Latin model: a boundary, a..z, anything else.
constexpr int kLatinClassOther = 27;
constexpr int kRepairLatinClasses = 28;
extern const char kRepairLatin[];

// The first three Russian letters of common words, each a class below
// kRepairPrefixBase: (a * base + b) * base + c in increasing order, and the
// costs of each class after them.
constexpr int kRepairPrefixBase = kClassYo + 1;
extern const int kRepairPrefixCount;
extern const unsigned short kRepairPrefixKeys[];
extern const char kRepairPrefixCosts[];
