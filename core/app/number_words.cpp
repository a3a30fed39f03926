#include "core/app/number_words.h"

std::string GroupedNumber(int64_t n) {
    const std::string digits = std::to_string(n < 0 ? 0 : n);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += kNoBreakSpace;
        out += digits[i];
    }
    return out;
}

const char* NounAfter(int64_t n, const char* one, const char* few, const char* many) {
    if (n < 0) n = -n;
    const int64_t lastTwo = n % 100;
    const int64_t last = n % 10;
    if (lastTwo >= 11 && lastTwo <= 14) return many;
    if (last == 1) return one;
    if (last >= 2 && last <= 4) return few;
    return many;
}

std::string CountWords(int64_t n, const char* one, const char* few, const char* many) {
    return GroupedNumber(n).append(" ").append(NounAfter(n, one, few, many));
}
