#include "core/text/html_tags.h"

std::optional<HtmlTagSpan> NextHtmlTag(const unsigned char* bytes, std::size_t n, std::size_t from,
                                       std::size_t openBefore) {
    const std::size_t stop = openBefore < n ? openBefore : n;
    std::size_t open = from;
    while (open < stop && bytes[open] != '<') ++open;
    if (open >= stop) return std::nullopt;
    for (std::size_t k = open + 1; k < n; ++k) {
        if (bytes[k] == '<') open = k;
        else if (bytes[k] == '>') return HtmlTagSpan{open, k + 1};
    }
    return std::nullopt;
}
