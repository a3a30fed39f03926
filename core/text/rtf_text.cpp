#include "core/text/rtf_text.h"

#include <cstdint>
#include <cstring>

namespace {

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

void Append(std::vector<unsigned char>& out, const unsigned char* from, std::size_t count) {
    out.insert(out.end(), from, from + count);
}

void Append(std::vector<unsigned char>& out, const char* text) {
    Append(out, reinterpret_cast<const unsigned char*>(text), std::strlen(text));
}

} // namespace

bool LooksLikeRtf(const unsigned char* bytes, std::size_t n) {
    return n >= 5 && std::memcmp(bytes, "{\\rtf", 5) == 0;
}

PreparedRtf PrepareRtfForPlainText(const unsigned char* bytes, std::size_t n) {
    PreparedRtf prepared{{}, false};
    std::vector<unsigned char>& out = prepared.bytes;
    out.reserve(n + 8);
    long depth = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = bytes[i];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                // The outer group closes: the marker, then the rest as it is.
                out.push_back('{');
                out.push_back(kRtfMarker);
                out.push_back('}');
                Append(out, bytes + i, n - i);
                prepared.marked = true;
                return prepared;
            }
        } else if (c == '\\' && i + 1 < n && IsLetter(bytes[i + 1])) {
            std::size_t wordEnd = i + 1;
            while (wordEnd < n && IsLetter(bytes[wordEnd])) ++wordEnd;
            std::size_t end = wordEnd;
            const bool negative = end < n && bytes[end] == '-';
            if (negative) ++end;
            const std::size_t digits = end;
            while (end < n && IsDigit(bytes[end])) ++end;
            const bool hasParameter = end > digits;
            if (!hasParameter) end = wordEnd; // a lone "-" is no parameter
            const std::size_t wordLength = wordEnd - i - 1;
            if (wordLength == 4 && std::memcmp(bytes + i + 1, "line", 4) == 0) {
                Append(out, "\\par");
                i = end;
                continue;
            }
            if (wordLength == 3 && std::memcmp(bytes + i + 1, "bin", 3) == 0 && hasParameter && !negative) {
                // \binN, its delimiter, then N bytes of data taken as they are.
                std::uint64_t count = 0;
                for (std::size_t k = digits; k < end && count <= n; ++k) count = count * 10 + (bytes[k] - '0');
                const std::size_t dataStart = end < n && bytes[end] == ' ' ? end + 1 : end;
                const std::size_t left = n - dataStart;
                const std::size_t dataEnd = dataStart + (count < left ? static_cast<std::size_t>(count) : left);
                Append(out, bytes + i, dataEnd - i);
                i = dataEnd;
                continue;
            }
            Append(out, bytes + i, end - i);
            i = end;
            continue;
        } else if (c == '\\' && i + 1 < n) {
            // A control symbol: "\\", "\{", "\}", "\'hh" and the like.
            Append(out, bytes + i, 2);
            i += 2;
            continue;
        }
        out.push_back(c);
        ++i;
    }
    return prepared; // the outer group never closes: no marker
}

std::size_t PlainTextLengthWithoutMarker(const unsigned char* text, std::size_t n, bool marked) {
    return marked && n > 0 && text[n - 1] == kRtfMarker ? n - 1 : n;
}
