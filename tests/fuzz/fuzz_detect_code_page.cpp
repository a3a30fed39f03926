// The code-page guess on any bytes, of any length up to the loader's sample
// and beyond: one of the three code pages, reading only the bytes given
// (AddressSanitizer sees the buffer's exact end), and the same guess for the
// same bytes in a buffer with two zero bytes after them, as the loader hands
// them over.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/document/detect_code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned char> exact(data, data + size);
    const int guess = DetectCodePage(exact.data(), exact.size());
    if (guess < 0 || guess > 2) std::abort();
    std::vector<unsigned char> padded(data, data + size);
    padded.push_back(0);
    padded.push_back(0);
    if (DetectCodePage(padded.data(), size) != guess) std::abort();
    return 0;
}
