// The byte order mark a Unicode text may begin with: U+FEFF written as UTF-8
// or as a UTF-16 unit in either order. Every test for a mark is this one.
#pragma once

#include <cstddef>

enum class ByteOrderMark : int { None, Utf8, Utf16Le, Utf16Be };

constexpr char16_t kByteOrderMarkChar = 0xFEFF;
inline constexpr unsigned char kUtf8Mark[3] = {0xEF, 0xBB, 0xBF};

// The mark the n bytes begin with; its length in *length (0 for None).
constexpr ByteOrderMark FindByteOrderMark(const unsigned char* bytes, std::size_t n, std::size_t* length = nullptr) {
    ByteOrderMark mark = ByteOrderMark::None;
    std::size_t size = 0;
    if (n >= 3 && bytes[0] == kUtf8Mark[0] && bytes[1] == kUtf8Mark[1] && bytes[2] == kUtf8Mark[2])
        mark = ByteOrderMark::Utf8, size = 3;
    else if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) mark = ByteOrderMark::Utf16Le, size = 2;
    else if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) mark = ByteOrderMark::Utf16Be, size = 2;
    if (length) *length = size;
    return mark;
}
