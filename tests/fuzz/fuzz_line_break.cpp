// Line-break repair: every CR is followed by LF afterwards, and removing the
// LF that follows each CR gives the same bytes for input and output.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/text/line_breaks.h"

namespace {
std::vector<unsigned char> DropLfAfterCr(const unsigned char* p, std::size_t n) {
    std::vector<unsigned char> v;
    for (std::size_t i = 0; i < n; ++i)
        if (!(p[i] == '\n' && i > 0 && p[i - 1] == '\r')) v.push_back(p[i]);
    return v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto out = RepairLineBreaks(data, size);
    if (out.size() < size || out.size() > 2 * size) std::abort();
    for (std::size_t i = 0; i < out.size(); ++i)
        if (out[i] == '\r' && (i + 1 == out.size() || out[i + 1] != '\n')) std::abort();
    if (DropLfAfterCr(data, size) != DropLfAfterCr(out.data(), out.size())) std::abort();
    if (RepairLineBreaks(out.data(), out.size()) != out) std::abort(); // nothing left to repair
    return 0;
}
