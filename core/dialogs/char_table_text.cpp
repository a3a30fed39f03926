#include "core/dialogs/char_table_text.h"

std::array<unsigned char, kCharTableTextSize> CharTableText() {
    std::array<unsigned char, kCharTableTextSize> text{};
    std::size_t n = 0;
    text[n++] = ' ';
    for (int v = 33; v <= 255; ++v) {
        if (v % 32 == 0) {
            text[n++] = '\r';
            text[n++] = '\n';
        }
        text[n++] = static_cast<unsigned char>(v);
    }
    return text;
}
