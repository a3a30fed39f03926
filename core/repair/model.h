// The letter models the text repair scores its readings with: costs of
// letter-class trigrams, made by tools/make_repair_model.py.
#pragma once

constexpr int kRepairClasses = 36; // 0 boundary, 1..33 а..я and ё, 34 Latin, 35 other
extern const char kRepairTrigrams[];
// Russian right after a word boundary: the first letters of words.
extern const char kRepairWordStarts[];

constexpr int kRepairLatinClasses = 28; // 0 boundary, 1..26 a..z, 27 other
extern const char kRepairLatin[];

// The first three Russian letters of common words, (a * 34 + b) * 34 + c in
// increasing order, and the costs of each class after them.
extern const int kRepairPrefixCount;
extern const unsigned short kRepairPrefixKeys[];
extern const char kRepairPrefixCosts[];
