// The recent-file records as stored (the order "LIST" and the paths may have
// been edited by hand): the order comes out as distinct slot digits, at most
// ten, in the order they were stored; moving a digit to the front keeps the
// rest in order; a new entry gets a free slot while there is one; a caption
// is "&" digit, space and at most 15 bytes of the name; the name of the
// temporary file of a save fits its buffer or is refused.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/document/file_names.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in{data, size};
    const std::string stored = in.Bytes(64);
    const std::string order = NormaliseOrder(stored);
    if (order.size() > kRecentSlots) std::abort();
    bool seen[10] = {};
    size_t at = 0;
    for (char c : order) {
        if (c < '0' || c > '9' || seen[c - '0']) std::abort();
        seen[c - '0'] = true;
        at = stored.find(c, at); // a subsequence of what was stored
        if (at == std::string::npos) std::abort();
        ++at;
    }
    if (NormaliseOrder(order) != order) std::abort();

    const char digit = static_cast<char>('0' + in.Byte() % 10);
    const std::string moved = MoveToFront(order, digit);
    if (moved.empty() || moved[0] != digit || moved.size() > kRecentSlots) std::abort();
    if (NormaliseOrder(moved) != moved) std::abort();
    std::string rest;
    for (char c : order)
        if (c != digit) rest += c;
    if (moved.substr(1) != rest.substr(0, moved.size() - 1)) std::abort();

    bool used[kRecentSlots];
    const unsigned mask = static_cast<unsigned>(in.Int());
    bool anyFree = false;
    for (int d = 0; d < kRecentSlots; ++d) {
        used[d] = (mask >> d) & 1;
        anyFree = anyFree || !used[d];
    }
    const char slot = SlotForNewEntry(order, used);
    if (slot < '0' || slot > '9') std::abort();
    if (anyFree && used[slot - '0']) std::abort();

    const int position = static_cast<int>(in.Byte() % 12) - 1;
    const std::string path = in.Bytes(300);
    const std::string caption = RecentCaption(position, path);
    if (path.empty() || position < 0 || position >= kRecentSlots) {
        if (!caption.empty()) std::abort();
    } else {
        if (caption.size() < 3 || caption[0] != '&' || caption[1] != '0' + position || caption[2] != ' ') std::abort();
        if (caption.size() > 3 + 15) std::abort();
    }
    const int slash = LastBackslash(path, in.Byte() % 4);
    if (slash >= static_cast<int>(path.size()) || (slash >= 0 && path[static_cast<size_t>(slash)] != '\\'))
        std::abort();

    char out[300];
    const std::size_t capacity = in.Byte() % sizeof out;
    std::memset(out, 'X', sizeof out);
    if (TemporaryNameFor(path, static_cast<unsigned>(in.Int()), out, capacity)) {
        const void* end = std::memchr(out, '\0', capacity);
        if (!end) std::abort();
    }
    for (std::size_t i = capacity; i < sizeof out; ++i)
        if (out[i] != 'X') std::abort(); // nothing written past the buffer given
    (void)DefaultExtensionFor(in.Int());
    return 0;
}
