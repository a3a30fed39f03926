// RTF made ready for the rich-edit control to read for its plain text. The
// control (Wine's riched20, which riched32 uses) loses two line breaks on the
// way: it shows a \line as a row break but keeps a space in its text, and it
// drops the paragraph break of a last \par. So every \line becomes a \par,
// and a marker letter, in a group of its own, goes before the brace that
// closes the outer group: the \par before it is no longer the last thing
// read, and the marker is taken off the plain text afterwards.
#pragma once

#include <cstddef>
#include <vector>

struct PreparedRtf {
    std::vector<unsigned char> bytes;
    bool marked; // the marker went in: the plain text ends with kRtfMarker
};

constexpr unsigned char kRtfMarker = 'x';

// True when the bytes start as an RTF document does ("{\rtf").
bool LooksLikeRtf(const unsigned char* bytes, std::size_t n);

// The RTF of bytes[0, n) with \line as \par and the marker added. Control
// words are told apart as RTF does: "\\" and "\{" are escaped characters,
// \line1 or \linex are other words, the data of \binN is copied as it is.
PreparedRtf PrepareRtfForPlainText(const unsigned char* bytes, std::size_t n);

// The length of the plain text the control made of a prepared RTF, without
// the marker (a text that does not end with it is kept whole).
std::size_t PlainTextLengthWithoutMarker(const unsigned char* text, std::size_t n, bool marked);
