#include "core/charset/convert.h"

#include <array>
#include <cstring>

#include "core/charset/tables.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LORK2_TRANSLATE_AVX2 1
#endif

namespace {

// The scalar loop over a full 256-entry table (bytes below 0x80 map to
// themselves), eight bytes per round.
void TranslateScalar(unsigned char* p, std::size_t n, const unsigned char* table) {
    unsigned char full[256];
    for (int b = 0; b < 0x80; ++b) full[b] = static_cast<unsigned char>(b);
    std::memcpy(full + 0x80, table, kTableSize);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        p[i + 0] = full[p[i + 0]];
        p[i + 1] = full[p[i + 1]];
        p[i + 2] = full[p[i + 2]];
        p[i + 3] = full[p[i + 3]];
        p[i + 4] = full[p[i + 4]];
        p[i + 5] = full[p[i + 5]];
        p[i + 6] = full[p[i + 6]];
        p[i + 7] = full[p[i + 7]];
    }
    for (; i < n; ++i) p[i] = full[p[i]];
}

#ifdef LORK2_TRANSLATE_AVX2
// 32 bytes at a time with eight 16-entry shuffles. The rows are stored as
// differences (row g XOR row g-1), and row g is looked up with the index less
// 16 g: when that is negative the shuffle yields 0, so the XOR of all eight
// telescopes to the entry of the byte's own row.
__attribute__((target("avx2"))) void TranslateAvx2(unsigned char* p, std::size_t n,
                                                   const unsigned char* table) {
    __m256i rows[8];
    for (int g = 0; g < 8; ++g) {
        __m128i row = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * g));
        if (g > 0) row = _mm_xor_si128(row, _mm_loadu_si128(reinterpret_cast<const __m128i*>(table + 16 * (g - 1))));
        rows[g] = _mm256_broadcastsi128_si256(row);
    }
    __m256i offsets[8];
    for (int g = 0; g < 8; ++g) offsets[g] = _mm256_set1_epi8(static_cast<char>(16 * g));
    const __m256i high = _mm256_set1_epi8(static_cast<char>(0x80));
    // The index for row g is computed from the byte directly, so the eight
    // shuffles do not wait on each other.
#define LORK2_LOOKUP(v, result)                                                                    \
    do {                                                                                           \
        const __m256i idx = _mm256_xor_si256(v, high);                                             \
        __m256i r0 = _mm256_shuffle_epi8(rows[0], idx);                                            \
        __m256i r1 = _mm256_shuffle_epi8(rows[1], _mm256_sub_epi8(idx, offsets[1]));               \
        __m256i r2 = _mm256_shuffle_epi8(rows[2], _mm256_sub_epi8(idx, offsets[2]));               \
        __m256i r3 = _mm256_shuffle_epi8(rows[3], _mm256_sub_epi8(idx, offsets[3]));               \
        r0 = _mm256_xor_si256(r0, _mm256_shuffle_epi8(rows[4], _mm256_sub_epi8(idx, offsets[4]))); \
        r1 = _mm256_xor_si256(r1, _mm256_shuffle_epi8(rows[5], _mm256_sub_epi8(idx, offsets[5]))); \
        r2 = _mm256_xor_si256(r2, _mm256_shuffle_epi8(rows[6], _mm256_sub_epi8(idx, offsets[6]))); \
        r3 = _mm256_xor_si256(r3, _mm256_shuffle_epi8(rows[7], _mm256_sub_epi8(idx, offsets[7]))); \
        const __m256i r = _mm256_xor_si256(_mm256_xor_si256(r0, r1), _mm256_xor_si256(r2, r3));    \
        /* bytes below 0x80 keep their value */                                                    \
        result = _mm256_blendv_epi8(v, r, v);                                                      \
    } while (0)
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + 32));
        if (_mm256_movemask_epi8(_mm256_or_si256(a, b)) == 0) continue; // nothing from 0x80 up
        __m256i ra, rb;
        LORK2_LOOKUP(a, ra);
        LORK2_LOOKUP(b, rb);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), ra);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i + 32), rb);
    }
    for (; i + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        __m256i ra;
        LORK2_LOOKUP(a, ra);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), ra);
    }
#undef LORK2_LOOKUP
    if (i < n) TranslateScalar(p + i, n - i, table);
}

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

} // namespace

void TranslateTable(unsigned char* data, std::size_t n, const unsigned char* table) {
    if (n == 0) return;
#ifdef LORK2_TRANSLATE_AVX2
    if (n >= 64 && HaveAvx2()) {
        TranslateAvx2(data, n, table);
        return;
    }
#endif
    TranslateScalar(data, n, table);
}

void ConvertBytes(unsigned char* data, std::size_t n, int fromTable, int toTable) {
    const unsigned char* from = CodePageTableEntries(fromTable);
    const unsigned char* to = toTable >= 0 && toTable <= 7 ? CodePageTableEntries(toTable) : nullptr;
    const bool fido = toTable == kTableFido;
    if (!from && !to && !fido) return;
    // Compose both steps into one table.
    unsigned char composed[kTableSize];
    for (std::size_t i = 0; i < kTableSize; ++i) {
        unsigned char b = static_cast<unsigned char>(0x80 + i);
        if (from) b = from[b - 0x80];
        if (b >= 0x80) {
            if (to) {
                b = to[b - 0x80];
            } else if (fido) {
                if (b == 0x8D) b = 'H';      // CP866 capital en
                else if (b == 0xE0) b = 'p'; // CP866 small er
            }
        }
        composed[i] = b;
    }
    TranslateTable(data, n, composed);
}

std::size_t Transliterate(const unsigned char* text, std::size_t n, int displayCodePage, unsigned char* out) {
    const int toOem = displayCodePage >= 0 && displayCodePage < kCodePageCount ? ToOemTable[displayCodePage]
                                                                               : kNoTable;
    const unsigned char* toOemEntries = CodePageTableEntries(toOem);
    const unsigned char* latin = CodePageTableEntries(kTableTranslit);
    // Per source byte: one or two output bytes.
    std::array<unsigned char, 256> first{};
    std::array<unsigned char, 256> second{};
    for (int b = 0; b < 256; ++b) {
        unsigned char oem = static_cast<unsigned char>(b);
        if (oem >= 0x80 && toOemEntries) oem = toOemEntries[oem - 0x80];
        first[b] = oem >= 0x80 ? latin[oem - 0x80] : oem;
        switch (oem) {
        case 0x86: case 0x97: case 0x98: case 0x99: second[b] = 'H'; break; // Ж Ч Ш Щ
        case 0x9E: second[b] = 'U'; break;                                // Ю
        case 0x9F: second[b] = 'A'; break;                                // Я
        case 0xA6: case 0xE7: case 0xE8: case 0xE9: second[b] = 'h'; break; // ж ч ш щ
        case 0xEE: second[b] = 'u'; break;                                // ю
        case 0xEF: second[b] = 'a'; break;                                // я
        default: break;
        }
    }
    std::size_t m = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = text[i];
        out[m++] = first[b];
        if (second[b]) out[m++] = second[b];
    }
    return m;
}

std::vector<unsigned char> Transliterate(const unsigned char* text, std::size_t n, int displayCodePage) {
    std::vector<unsigned char> out(2 * n);
    out.resize(Transliterate(text, n, displayCodePage, out.data()));
    return out;
}
