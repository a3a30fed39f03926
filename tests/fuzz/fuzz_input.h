// Taking typed values out of a fuzzer's input, front to back; past the end
// every value reads as zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size;

    std::uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    std::int32_t Int() {
        std::int32_t v = 0;
        const std::size_t n = size < 4 ? size : 4;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    bool Bit() { return Byte() & 1; }
    // Up to `most` bytes, the count taken from the input first.
    std::string Bytes(std::size_t most) {
        std::size_t n = Byte();
        if (n > most) n = most;
        if (n > size) n = size;
        std::string out(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        return out;
    }
    std::string Rest() {
        std::string out(reinterpret_cast<const char*>(data), size);
        data += size;
        size = 0;
        return out;
    }
};
