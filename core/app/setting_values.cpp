#include "core/app/setting_values.h"

#include <cstring>

std::int32_t StoredDword(bool read, std::uint32_t type, const unsigned char* bytes, std::size_t size,
                         std::int32_t fallback) {
    if (!read || type != kStoredDword || size != 4 || !bytes) return fallback;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes[i]; // little-endian, as stored
    return static_cast<std::int32_t>(value);
}

std::size_t StoredString(bool read, std::uint32_t type, char* buffer, std::size_t stored, std::size_t capacity) {
    if (!buffer || capacity == 0) return 0;
    if (!read || (type != kStoredString && type != kStoredExpandString) || stored == 0 || stored > capacity) {
        buffer[0] = '\0';
        return 0;
    }
    if (buffer[stored - 1] != '\0') {
        if (stored == capacity) {
            buffer[0] = '\0'; // it did not fit with its terminator
            return 0;
        }
        buffer[stored] = '\0';
    }
    return std::strlen(buffer);
}

bool StoredBinary(bool read, std::uint32_t type, std::size_t stored, std::size_t expected) {
    return read && type == kStoredBinary && stored == expected;
}
