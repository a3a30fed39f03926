// Quoted-printable decoding: never longer than the input, each decoded
// "=XY" shortens it by two, and text without "=" comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/text/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto out = DecodeQuotedPrintable(data, size);
    if (out.size() > size || (size - out.size()) % 2 != 0) std::abort();
    if (!std::memchr(data, '=', size) && (out.size() != size || (size && std::memcmp(out.data(), data, size))))
        std::abort();
    // Decoding again can only shorten it further.
    if (DecodeQuotedPrintable(out.data(), out.size()).size() > out.size()) std::abort();
    return 0;
}
