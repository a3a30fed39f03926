// Writes the benchmark text, in Windows-1251, to the file named.
#include <cstdio>

#include "bench/bench_text.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lork2_bench_text FILE\n");
        return 2;
    }
    const std::vector<unsigned char>& text = AnsiText();
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
