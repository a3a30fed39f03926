// The settings readers on any stored type, length and bytes: a DWORD is the
// fallback unless it is a four-byte REG_DWORD; a string read into a buffer of
// any size ends inside it, holds no more than was stored, and is empty for a
// value that did not fit; a binary is usable only at its exact size.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/app/setting_values.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const bool read = in.Bit();
    const std::uint32_t type = in.Byte() % 12;
    const std::int32_t fallback = in.Int();
    const std::size_t capacity = 1 + in.Byte() % 64;
    std::size_t stored = in.Byte() % 80;
    std::vector<char> value(capacity + 16, 'Z');
    const std::string bytes = in.Rest();
    // What a read leaves: at most the buffer's size filled, the stored size
    // reported (larger than the buffer when it did not fit).
    std::memcpy(value.data(), bytes.data(), std::min({bytes.size(), capacity, stored}));

    const std::int32_t dword = StoredDword(read, type, reinterpret_cast<const unsigned char*>(bytes.data()),
                                           bytes.size() < stored ? bytes.size() : stored, fallback);
    const bool dwordShape = read && type == kStoredDword && std::min(bytes.size(), stored) == 4;
    if (!dwordShape && dword != fallback) std::abort();
    if (dwordShape) {
        std::uint32_t expected;
        std::memcpy(&expected, bytes.data(), 4);
        if (dword != static_cast<std::int32_t>(expected)) std::abort();
    }

    const std::size_t length = StoredString(read, type, value.data(), stored, capacity);
    if (length >= capacity || value[length] != '\0' || std::strlen(value.data()) != length) std::abort();
    if (length > stored) std::abort();
    for (std::size_t i = capacity; i < value.size(); ++i)
        if (value[i] != 'Z') std::abort(); // nothing past the buffer
    if (stored > capacity && length != 0) std::abort();

    const std::size_t expected = in.Byte();
    if (StoredBinary(read, type, stored, expected) != (read && type == kStoredBinary && stored == expected)) std::abort();
    return 0;
}
