// The Russian letter model the text repair scores its readings with: costs of
// letter-class trigrams, made by tools/make_repair_model.py.
#pragma once

constexpr int kRepairClasses = 36; // 0 boundary, 1..33 а..я and ё, 34 Latin, 35 other
extern const char kRepairTrigrams[];
