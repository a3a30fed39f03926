// The repair of line ends of the encodings menu, a pure function of the
// bytes it is given. It also takes a text in pieces (a file read block by
// block): a CR at a piece's end waits for the next piece, and the pieces give
// the same bytes as the whole text at once.
#pragma once

#include <cstddef>
#include <vector>

// Every CR not followed by LF (a CR at the very end included) gets an LF
// after it; lone LF bytes and CR LF pairs are kept.
std::vector<unsigned char> RepairLineBreaks(const unsigned char* text, std::size_t n);

// The repair of a text in pieces: a CR that ends a piece gets its LF when the
// next piece does not start with one (or the text ends).
struct LineBreakState {
    bool crBefore = false;
};
// Repairs the next `n` bytes into `out` (room for 2 n + 1 bytes); `end` says
// the text ends with them. Returns the count written.
std::size_t RepairLineBreaks(LineBreakState& state, const unsigned char* text, std::size_t n, bool end,
                             unsigned char* out);
