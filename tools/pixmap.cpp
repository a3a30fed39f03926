#include "tools/pixmap.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace pixmap {

namespace {

constexpr int kMaxSide = 256; // icon directories store 256 as 0; bitmaps are kept as small
constexpr int kMaxScale = 16;

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Words(std::string_view s) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
        size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t') ++i;
        if (i > start) words.push_back(s.substr(start, i - start));
    }
    return words;
}

bool ToInt(std::string_view s, int& value, int base = 10) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    return ec == std::errc() && end == s.data() + s.size();
}

bool EndsWith(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Set32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// CRC-32 of the PNG chunks (polynomial 0xEDB88320, reflected), table-driven.
uint32_t Crc32(const uint8_t* data, size_t size) {
    static const auto table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::vector<uint8_t>& data) {
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// A chunk: length, type, data, and the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutBe32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc32(out.data() + start, out.size() - start));
}

size_t RowBytes(int width, int bits) { return (static_cast<size_t>(width) * bits + 31) / 32 * 4; }

// BITMAPINFOHEADER; icons and cursors give twice the height (colours, then mask).
void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize,
                   uint32_t coloursUsed) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dots an inch
    Put32(out, 2835);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

// The AND mask, bottom row first: 1 where the pixel is transparent.
void PutMask(std::vector<uint8_t>& out, const Image& image) {
    const size_t rowBytes = RowBytes(image.width, 1);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x)
            if (!image.At(x, y).opaque) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

bool CheckSide(const Image& image, std::string& error) {
    if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide) {
        error = "image " + image.name + " is not between 1 and 256 pixels on each side";
        return false;
    }
    return true;
}

} // namespace

const Image* MapFile::Find(std::string_view name) const {
    for (const Image& image : images)
        if (image.name == name) return &image;
    return nullptr;
}

bool Parse(std::string_view text, MapFile& map, std::string& error) {
    Colour palette[128];
    bool defined[128] = {};
    Image* current = nullptr; // the image whose rows are being read
    int rowsLeft = 0;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    };

    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimRight(text.substr(pos, end - pos));
        pos = end + 1;
        ++lineNumber;

        if (rowsLeft > 0) {
            if (static_cast<int>(line.size()) != current->width)
                return fail("row of " + std::to_string(line.size()) + " characters, image " + current->name +
                            " is " + std::to_string(current->width) + " wide");
            for (char c : line) {
                unsigned char u = static_cast<unsigned char>(c);
                if (u >= 128 || !defined[u]) return fail(std::string("undefined colour '") + c + "'");
                current->pixels.push_back(palette[u]);
            }
            --rowsLeft;
            continue;
        }
        std::vector<std::string_view> words = Words(line);
        if (words.empty() || words[0][0] == ';') continue;

        if (words[0] == "colour") {
            if (words.size() != 3 || words[1].size() != 1) return fail("expected: colour C RRGGBB|none");
            unsigned char c = static_cast<unsigned char>(words[1][0]);
            if (c <= ' ' || c >= 127 || c == ';') return fail("colour character must be printable, not ';'");
            Colour colour;
            if (words[2] != "none") {
                int rgb = 0;
                if (words[2].size() != 6 || !ToInt(words[2], rgb, 16)) return fail("colour must be RRGGBB or none");
                colour = {static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), true};
            }
            palette[c] = colour;
            defined[c] = true;
        } else if (words[0] == "image") {
            Image image;
            if ((words.size() != 4 && words.size() != 7) || !ToInt(words[2], image.width) ||
                !ToInt(words[3], image.height) ||
                (words.size() == 7 &&
                 (words[4] != "hotspot" || !ToInt(words[5], image.hotX) || !ToInt(words[6], image.hotY))))
                return fail("expected: image NAME W H [hotspot X Y]");
            if (image.width < 1 || image.height < 1 || image.width > kMaxSide || image.height > kMaxSide)
                return fail("image sides must be 1 to 256");
            if (image.hotX < 0 || image.hotY < 0 || image.hotX >= image.width || image.hotY >= image.height)
                return fail("hot spot outside the image");
            image.name = words[1];
            if (map.Find(image.name)) return fail("image " + image.name + " defined twice");
            image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
            map.images.push_back(std::move(image));
            current = &map.images.back();
            rowsLeft = current->height;
        } else if (words[0] == "output") {
            if (words.size() < 3) return fail("expected: output FILE NAME...");
            Output output;
            output.file = words[1];
            output.line = lineNumber;
            size_t last = words.size();
            if (last >= 4 && words[last - 2] == "scale") {
                if (!ToInt(words[last - 1], output.scale) || output.scale < 1 || output.scale > kMaxScale)
                    return fail("scale must be 1 to 16");
                last -= 2;
            }
            for (size_t i = 2; i < last; ++i) output.images.emplace_back(words[i]);
            map.outputs.push_back(std::move(output));
        } else {
            return fail("unknown word " + std::string(words[0]));
        }
    }
    if (rowsLeft > 0) {
        error = "image " + current->name + " lacks " + std::to_string(rowsLeft) + " rows at the end";
        return false;
    }
    return true;
}

bool EncodeIcon(const std::vector<const Image*>& images, std::vector<uint8_t>& bytes, std::string& error) {
    if (images.empty()) {
        error = "an icon needs at least one image";
        return false;
    }
    bytes.clear();
    Put16(bytes, 0);
    Put16(bytes, 1); // icon
    Put16(bytes, static_cast<unsigned>(images.size()));
    const size_t directoryEnd = 6 + 16 * images.size();
    bytes.resize(directoryEnd);
    for (size_t i = 0; i < images.size(); ++i) {
        const Image& image = *images[i];
        if (!CheckSide(image, error)) return false;
        const size_t start = bytes.size();
        const uint32_t colourSize = static_cast<uint32_t>(RowBytes(image.width, 32) * image.height);
        const uint32_t maskSize = static_cast<uint32_t>(RowBytes(image.width, 1) * image.height);
        PutInfoHeader(bytes, image.width, image.height * 2, 32, colourSize + maskSize, 0);
        for (int y = image.height - 1; y >= 0; --y)
            for (int x = 0; x < image.width; ++x) {
                const Colour& c = image.At(x, y);
                bytes.push_back(c.opaque ? c.b : 0);
                bytes.push_back(c.opaque ? c.g : 0);
                bytes.push_back(c.opaque ? c.r : 0);
                bytes.push_back(c.opaque ? 255 : 0);
            }
        PutMask(bytes, image);
        uint8_t* entry = bytes.data() + 6 + 16 * i;
        entry[0] = static_cast<uint8_t>(image.width & 0xFF); // 256 is written as 0
        entry[1] = static_cast<uint8_t>(image.height & 0xFF);
        entry[2] = 0; // no colour table
        entry[3] = 0;
        entry[4] = 1; // planes
        entry[5] = 0;
        entry[6] = 32; // bits a pixel
        entry[7] = 0;
        Set32(bytes, 6 + 16 * i + 8, static_cast<uint32_t>(bytes.size() - start));
        Set32(bytes, 6 + 16 * i + 12, static_cast<uint32_t>(start));
    }
    return true;
}

bool EncodeCursor(const Image& image, std::vector<uint8_t>& bytes, std::string& error) {
    if (!CheckSide(image, error)) return false;
    const Colour black{0, 0, 0, true}, white{255, 255, 255, true};
    for (const Colour& c : image.pixels)
        if (c.opaque && c != black && c != white) {
            error = "cursor " + image.name + " has a colour other than black, white and none";
            return false;
        }
    bytes.clear();
    Put16(bytes, 0);
    Put16(bytes, 2); // cursor
    Put16(bytes, 1);
    bytes.push_back(static_cast<uint8_t>(image.width & 0xFF));
    bytes.push_back(static_cast<uint8_t>(image.height & 0xFF));
    bytes.push_back(2); // colours
    bytes.push_back(0);
    Put16(bytes, static_cast<unsigned>(image.hotX));
    Put16(bytes, static_cast<unsigned>(image.hotY));
    const size_t sizeAt = bytes.size();
    Put32(bytes, 0);
    Put32(bytes, 22); // the image follows the one directory entry
    const size_t start = bytes.size();
    const size_t rowBytes = RowBytes(image.width, 1);
    const uint32_t planeSize = static_cast<uint32_t>(rowBytes * image.height);
    PutInfoHeader(bytes, image.width, image.height * 2, 1, 2 * planeSize, 2);
    Put32(bytes, 0x00000000); // colour 0 black
    Put32(bytes, 0x00FFFFFF); // colour 1 white
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x)
            if (image.At(x, y) == white) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    PutMask(bytes, image);
    Set32(bytes, sizeAt, static_cast<uint32_t>(bytes.size() - start));
    return true;
}

bool EncodeBitmap(const std::vector<const Image*>& images, std::vector<uint8_t>& bytes, std::string& error) {
    if (images.empty()) {
        error = "a bitmap needs at least one image";
        return false;
    }
    const int height = images[0]->height;
    int width = 0;
    std::vector<Colour> table; // in the order the colours first appear
    for (const Image* image : images) {
        if (!CheckSide(*image, error)) return false;
        if (image->height != height) {
            error = "image " + image->name + " differs in height from " + images[0]->name;
            return false;
        }
        width += image->width;
        for (const Colour& c : image->pixels) {
            if (!c.opaque) {
                error = "bitmap image " + image->name + " has a transparent pixel";
                return false;
            }
            if (std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
        }
    }
    if (table.size() > 256) {
        error = "a bitmap takes at most 256 colours";
        return false;
    }
    const size_t rowBytes = RowBytes(width, 8);
    const uint32_t imageSize = static_cast<uint32_t>(rowBytes * height);
    const uint32_t offset = static_cast<uint32_t>(14 + 40 + 4 * table.size());
    bytes.clear();
    bytes.push_back('B');
    bytes.push_back('M');
    Put32(bytes, offset + imageSize);
    Put32(bytes, 0);
    Put32(bytes, offset);
    PutInfoHeader(bytes, width, height, 8, imageSize, static_cast<uint32_t>(table.size()));
    for (const Colour& c : table) {
        bytes.push_back(c.b);
        bytes.push_back(c.g);
        bytes.push_back(c.r);
        bytes.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        size_t written = 0;
        for (const Image* image : images)
            for (int x = 0; x < image->width; ++x, ++written) {
                auto at = std::find(table.begin(), table.end(), image->At(x, y));
                bytes.push_back(static_cast<uint8_t>(at - table.begin()));
            }
        for (; written < rowBytes; ++written) bytes.push_back(0);
    }
    return true;
}

bool EncodePng(const Image& image, int scale, std::vector<uint8_t>& bytes, std::string& error) {
    if (!CheckSide(image, error)) return false;
    if (scale < 1 || scale > kMaxScale || image.width * scale > kMaxSide || image.height * scale > kMaxSide) {
        error = "image " + image.name + " scaled " + std::to_string(scale) + " times is not between 1 and 256 pixels";
        return false;
    }
    const int width = image.width * scale, height = image.height * scale;
    // The filtered scan lines: filter type 0 (none), then RGBA for each pixel.
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 4 * static_cast<size_t>(width)));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const Colour& c = image.At(x / scale, y / scale);
            raw.push_back(c.opaque ? c.r : 0);
            raw.push_back(c.opaque ? c.g : 0);
            raw.push_back(c.opaque ? c.b : 0);
            raw.push_back(c.opaque ? 255 : 0);
        }
    }
    // zlib: header (deflate, 32K window, no dictionary), stored blocks of at
    // most 65535 bytes, Adler-32 of the raw data.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t size = std::min<size_t>(raw.size() - at, 65535);
        const bool final = at + size == raw.size();
        z.push_back(final ? 1 : 0);
        Put16(z, static_cast<unsigned>(size));
        Put16(z, static_cast<unsigned>(~size & 0xFFFF));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                 raw.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < raw.size());
    PutBe32(z, Adler32(raw));

    std::vector<uint8_t> header;
    PutBe32(header, static_cast<uint32_t>(width));
    PutBe32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, adaptive filters, no interlace
    bytes.assign({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
    PutChunk(bytes, "IHDR", header);
    PutChunk(bytes, "IDAT", z);
    PutChunk(bytes, "IEND", {});
    return true;
}

bool Build(const MapFile& map, const Output& output, std::vector<uint8_t>& bytes, std::string& error) {
    std::vector<const Image*> images;
    for (const std::string& name : output.images) {
        const Image* image = map.Find(name);
        if (!image) {
            error = "line " + std::to_string(output.line) + ": no image " + name;
            return false;
        }
        images.push_back(image);
    }
    const bool png = EndsWith(output.file, ".png");
    if (output.scale != 1 && !png) {
        error = "line " + std::to_string(output.line) + ": only a .png output can be scaled";
        return false;
    }
    bool ok;
    if (png) {
        if (images.size() != 1) {
            error = "line " + std::to_string(output.line) + ": a .png output takes one image";
            return false;
        }
        ok = EncodePng(*images[0], output.scale, bytes, error);
    } else if (EndsWith(output.file, ".ico")) {
        ok = EncodeIcon(images, bytes, error);
    } else if (EndsWith(output.file, ".cur")) {
        if (images.size() != 1) {
            error = "line " + std::to_string(output.line) + ": a cursor takes one image";
            return false;
        }
        ok = EncodeCursor(*images[0], bytes, error);
    } else if (EndsWith(output.file, ".bmp")) {
        ok = EncodeBitmap(images, bytes, error);
    } else {
        error = "line " + std::to_string(output.line) + ": " + output.file + " does not end in .ico, .cur, .bmp or .png";
        return false;
    }
    if (!ok) error = "line " + std::to_string(output.line) + ": " + error;
    return ok;
}

} // namespace pixmap
