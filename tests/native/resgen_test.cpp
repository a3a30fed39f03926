#include "tools/pixmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/editor/bar_tables.h"

namespace {

using pixmap::Colour;
using pixmap::Image;
using pixmap::MapFile;

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

// A 3 by 2 image: red, transparent, white / black, blue, transparent.
constexpr const char* kSmall =
    "; a comment\n"
    "colour . none\n"
    "colour R FF0000\n"
    "colour W ffffff\n"
    "colour K 000000\n"
    "colour b 0000FF\n"
    "\n"
    "image small 3 2 hotspot 2 1\n"
    "R.W  \r\n"
    "Kb.\n"
    "output small.ico small\n";

MapFile ParseOk(const std::string& text) {
    MapFile map;
    std::string error;
    EXPECT_TRUE(pixmap::Parse(text, map, error)) << error;
    return map;
}

std::string ParseError(const std::string& text) {
    MapFile map;
    std::string error;
    EXPECT_FALSE(pixmap::Parse(text, map, error));
    return error;
}

TEST(PixelMap, ReadsColoursRowsHotSpotAndOutputs) {
    MapFile map = ParseOk(kSmall);
    ASSERT_EQ(map.images.size(), 1u);
    const Image& image = map.images[0];
    EXPECT_EQ(image.name, "small");
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotX, 2);
    EXPECT_EQ(image.hotY, 1);
    EXPECT_EQ(image.At(0, 0), (Colour{255, 0, 0, true}));
    EXPECT_FALSE(image.At(1, 0).opaque);
    EXPECT_EQ(image.At(2, 0), (Colour{255, 255, 255, true})); // blanks and CR after a row ignored
    EXPECT_EQ(image.At(1, 1), (Colour{0, 0, 255, true}));
    ASSERT_EQ(map.outputs.size(), 1u);
    EXPECT_EQ(map.outputs[0].file, "small.ico");
    EXPECT_EQ(map.outputs[0].images, std::vector<std::string>{"small"});
}

TEST(PixelMap, FaultsNamedWithTheirLine) {
    EXPECT_EQ(ParseError("colour R FF0000\nimage a 2 1\nRRR\n"), "line 3: row of 3 characters, image a is 2 wide");
    EXPECT_EQ(ParseError("colour R FF0000\nimage a 2 1\nRx\n"), "line 3: undefined colour 'x'");
    EXPECT_EQ(ParseError("image a 2 2\n\n"), "line 2: row of 0 characters, image a is 2 wide");
    EXPECT_EQ(ParseError("colour R FF0000\nimage a 1 2\nR\n"), "image a lacks 1 rows at the end");
    EXPECT_EQ(ParseError("colour R F0000\n"), "line 1: colour must be RRGGBB or none");
    EXPECT_EQ(ParseError("colour R 12345G\n"), "line 1: colour must be RRGGBB or none");
    EXPECT_EQ(ParseError("colour ; 000000\n"), "line 1: colour character must be printable, not ';'");
    EXPECT_EQ(ParseError("image a 0 1\n"), "line 1: image sides must be 1 to 256");
    EXPECT_EQ(ParseError("image a 257 1\n"), "line 1: image sides must be 1 to 256");
    EXPECT_EQ(ParseError("image a 4 4 hotspot 4 0\n"), "line 1: hot spot outside the image");
    EXPECT_EQ(ParseError("colour R FF0000\nimage a 1 1\nR\nimage a 1 1\nR\n"), "line 4: image a defined twice");
    EXPECT_EQ(ParseError("picture a 1 1\n"), "line 1: unknown word picture");
    EXPECT_EQ(ParseError("output a.ico\n"), "line 1: expected: output FILE NAME...");
}

TEST(PixelMap, ColourRedefinedAppliesToLaterRows) {
    MapFile map = ParseOk("colour X 000000\nimage a 1 1\nX\ncolour X 00FF00\nimage b 1 1\nX\n");
    EXPECT_EQ(map.Find("a")->At(0, 0), (Colour{0, 0, 0, true}));
    EXPECT_EQ(map.Find("b")->At(0, 0), (Colour{0, 255, 0, true}));
    EXPECT_EQ(map.Find("c"), nullptr);
}

TEST(IconFile, DirectoryHeaderColoursAlphaAndMask) {
    MapFile map = ParseOk(kSmall);
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::Build(map, map.outputs[0], b, error)) << error;
    EXPECT_EQ(Le16(b, 0), 0u);
    EXPECT_EQ(Le16(b, 2), 1u); // icon
    EXPECT_EQ(Le16(b, 4), 1u);
    EXPECT_EQ(b[6], 3);        // width
    EXPECT_EQ(b[7], 2);        // height
    EXPECT_EQ(Le16(b, 10), 1u); // planes
    EXPECT_EQ(Le16(b, 12), 32u);
    const uint32_t offset = Le32(b, 18);
    EXPECT_EQ(offset, 22u);
    // header, 3 * 2 pixels of 4 bytes, mask rows of 4 bytes
    EXPECT_EQ(Le32(b, 14), 40u + 24u + 8u);
    EXPECT_EQ(b.size(), offset + Le32(b, 14));
    EXPECT_EQ(Le32(b, offset), 40u);
    EXPECT_EQ(Le32(b, offset + 4), 3u);
    EXPECT_EQ(Le32(b, offset + 8), 4u); // twice the height: colours and mask
    EXPECT_EQ(Le16(b, offset + 14), 32u);
    EXPECT_EQ(Le32(b, offset + 20), 32u);
    // Rows bottom first, BGRA: black, blue, transparent; then red, clear, white.
    const size_t px = offset + 40;
    const std::vector<uint8_t> pixels(b.begin() + px, b.begin() + px + 24);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 0,  //
                                             0, 0, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255}));
    const size_t mask = px + 24;
    EXPECT_EQ(b[mask], 0x20);     // bottom row: third pixel transparent
    EXPECT_EQ(b[mask + 4], 0x40); // top row: second pixel transparent
}

TEST(IconFile, SeveralImagesFollowOneAnother) {
    MapFile map = ParseOk("colour K 000000\nimage a 16 1\nKKKKKKKKKKKKKKKK\nimage b 1 1\nK\n");
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::EncodeIcon({map.Find("a"), map.Find("b")}, b, error));
    EXPECT_EQ(Le16(b, 4), 2u);
    EXPECT_EQ(Le32(b, 18), 6u + 2 * 16);
    EXPECT_EQ(Le32(b, 14), 40u + 64 + 4);
    EXPECT_EQ(Le32(b, 16 + 18), Le32(b, 18) + Le32(b, 14));
    EXPECT_EQ(b[16 + 6], 1);
    EXPECT_EQ(b.size(), Le32(b, 16 + 18) + Le32(b, 16 + 14));
}

TEST(CursorFile, MonochromeWithHotSpot) {
    MapFile map = ParseOk("colour . none\ncolour K 000000\ncolour W FFFFFF\n"
                          "image c 2 2 hotspot 1 0\nKW\n.K\n");
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::EncodeCursor(*map.Find("c"), b, error)) << error;
    EXPECT_EQ(Le16(b, 2), 2u); // cursor
    EXPECT_EQ(Le16(b, 10), 1u); // hot spot x
    EXPECT_EQ(Le16(b, 12), 0u); // hot spot y
    const uint32_t offset = Le32(b, 18);
    EXPECT_EQ(offset, 22u);
    EXPECT_EQ(Le16(b, offset + 14), 1u); // one bit a pixel
    EXPECT_EQ(Le32(b, offset + 32), 2u); // two colours
    EXPECT_EQ(Le32(b, offset + 40), 0x000000u);
    EXPECT_EQ(Le32(b, offset + 44), 0xFFFFFFu);
    const size_t image = offset + 48;
    EXPECT_EQ(b[image], 0x00);     // bottom row: nothing white
    EXPECT_EQ(b[image + 4], 0x40); // top row: second pixel white
    EXPECT_EQ(b[image + 8], 0x80); // mask, bottom row: first pixel transparent
    EXPECT_EQ(b[image + 12], 0x00);
    EXPECT_EQ(b.size(), image + 16);
    EXPECT_EQ(Le32(b, 14), b.size() - offset);
}

TEST(CursorFile, RefusesColours) {
    MapFile map = ParseOk("colour R FF0000\nimage c 1 1\nR\n");
    std::vector<uint8_t> b;
    std::string error;
    EXPECT_FALSE(pixmap::EncodeCursor(*map.Find("c"), b, error));
    EXPECT_EQ(error, "cursor c has a colour other than black, white and none");
}

TEST(BitmapFile, ImagesSideBySideWithColourTable) {
    MapFile map = ParseOk("colour . C0C0C0\ncolour K 000000\ncolour R FF0000\n"
                          "image a 2 2\n.K\nK.\nimage b 3 2\nRRR\n...\n"
                          "output strip.bmp a b\n");
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::Build(map, map.outputs[0], b, error)) << error;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    const uint32_t bits = Le32(b, 10);
    EXPECT_EQ(bits, 14u + 40 + 3 * 4);
    EXPECT_EQ(Le32(b, 18), 5u); // width of both
    EXPECT_EQ(Le32(b, 22), 2u);
    EXPECT_EQ(Le16(b, 28), 8u);
    EXPECT_EQ(Le32(b, 46), 3u); // colours used
    // Table in the order of first appearance: grey, black, red (BGR0).
    EXPECT_EQ(Le32(b, 54), 0xC0C0C0u);
    EXPECT_EQ(Le32(b, 58), 0x000000u);
    EXPECT_EQ(Le32(b, 62), 0xFF0000u);
    // Rows of 8 bytes, bottom first.
    const std::vector<uint8_t> rows(b.begin() + bits, b.end());
    EXPECT_EQ(rows, (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0,  //
                                           0, 1, 2, 2, 2, 0, 0, 0}));
}

TEST(BitmapFile, RefusesTransparencyAndUnequalHeights) {
    MapFile map = ParseOk("colour . none\ncolour K 000000\nimage a 1 1\n.\nimage b 1 2\nK\nK\nimage c 1 1\nK\n");
    std::vector<uint8_t> b;
    std::string error;
    EXPECT_FALSE(pixmap::EncodeBitmap({map.Find("a")}, b, error));
    EXPECT_EQ(error, "bitmap image a has a transparent pixel");
    EXPECT_FALSE(pixmap::EncodeBitmap({map.Find("c"), map.Find("b")}, b, error));
    EXPECT_EQ(error, "image b differs in height from c");
}

TEST(BuildOutput, UnknownImageOrEndingRefused) {
    MapFile map = ParseOk("colour K 000000\nimage a 1 1\nK\noutput x.ico a nothing\noutput x.gif a\n"
                          "output x.cur a a\noutput x.png a a\noutput x.ico a scale 2\n");
    std::vector<uint8_t> b;
    std::string error;
    EXPECT_FALSE(pixmap::Build(map, map.outputs[0], b, error));
    EXPECT_EQ(error, "line 4: no image nothing");
    EXPECT_FALSE(pixmap::Build(map, map.outputs[1], b, error));
    EXPECT_EQ(error, "line 5: x.gif does not end in .ico, .cur, .bmp or .png");
    EXPECT_FALSE(pixmap::Build(map, map.outputs[2], b, error));
    EXPECT_EQ(error, "line 6: a cursor takes one image");
    EXPECT_FALSE(pixmap::Build(map, map.outputs[3], b, error));
    EXPECT_EQ(error, "line 7: a .png output takes one image");
    EXPECT_FALSE(pixmap::Build(map, map.outputs[4], b, error));
    EXPECT_EQ(error, "line 8: only a .png output can be scaled");
}

// A reader of the PNG files the generator writes: checks the signature, the
// CRC of every chunk (computed bit by bit) and the zlib stream of stored
// blocks with its Adler-32, and returns the width, the height and the RGBA
// scan lines without their filter bytes.
struct Png {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
    std::vector<std::string> chunks;
};

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 | b.at(at + 3);
}

uint32_t BitwiseCrc(const uint8_t* p, size_t n) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < n; ++i)
        for (int bit = 0; bit < 8; ++bit) {
            const bool one = ((crc ^ (p[i] >> bit)) & 1) != 0;
            crc = (crc >> 1) ^ (one ? 0xEDB88320 : 0);
        }
    return ~crc;
}

Png ReadPng(const std::vector<uint8_t>& file) {
    Png png;
    const uint8_t signature[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    EXPECT_TRUE(file.size() > 8 && std::equal(signature, signature + 8, file.begin()));
    std::vector<uint8_t> z;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = Be32(file, at);
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        png.chunks.push_back(type);
        EXPECT_EQ(Be32(file, at + 8 + length), BitwiseCrc(&file[at + 4], length + 4)) << type;
        const auto data = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
        if (type == "IHDR") {
            png.width = Be32(file, at + 8);
            png.height = Be32(file, at + 12);
            EXPECT_EQ(std::vector<uint8_t>(data + 8, data + 13), (std::vector<uint8_t>{8, 6, 0, 0, 0}));
        }
        if (type == "IDAT") z.insert(z.end(), data, data + length);
        at += 12 + length;
    }
    EXPECT_EQ(((z.at(0) << 8) | z.at(1)) % 31, 0); // zlib header check
    std::vector<uint8_t> raw;
    size_t at = 2;
    for (bool final = false; !final;) {
        final = z.at(at) & 1;
        EXPECT_EQ(z.at(at) >> 1, 0) << "a stored block";
        const size_t size = Le16(z, at + 1);
        EXPECT_EQ(size ^ 0xFFFF, Le16(z, at + 3));
        raw.insert(raw.end(), z.begin() + at + 5, z.begin() + at + 5 + size);
        at += 5 + size;
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) a = (a + byte) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(Be32(z, at), b << 16 | a);
    EXPECT_EQ(at + 4, z.size());
    const size_t line = 1 + 4 * size_t(png.width);
    EXPECT_EQ(raw.size(), line * png.height);
    for (size_t y = 0; y < png.height && (y + 1) * line <= raw.size(); ++y) {
        EXPECT_EQ(raw[y * line], 0) << "filter of line " << y;
        png.rgba.insert(png.rgba.end(), raw.begin() + y * line + 1, raw.begin() + (y + 1) * line);
    }
    return png;
}

TEST(PngFile, EnlargedPixelsWithAlpha) {
    MapFile map = ParseOk(std::string(kSmall) + "output small.png small scale 2\n");
    ASSERT_EQ(map.outputs.back().scale, 2);
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::Build(map, map.outputs.back(), b, error)) << error;
    Png png = ReadPng(b);
    EXPECT_EQ(png.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    ASSERT_EQ(png.width, 6u);
    ASSERT_EQ(png.height, 4u);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = &png.rgba.at((size_t(y) * 6 + x) * 4);
        return std::vector<int>{p[0], p[1], p[2], p[3]};
    };
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            EXPECT_EQ(pixel(0 + dx, 0 + dy), (std::vector<int>{255, 0, 0, 255}));
            EXPECT_EQ(pixel(2 + dx, 0 + dy), (std::vector<int>{0, 0, 0, 0}));
            EXPECT_EQ(pixel(4 + dx, 0 + dy), (std::vector<int>{255, 255, 255, 255}));
            EXPECT_EQ(pixel(0 + dx, 2 + dy), (std::vector<int>{0, 0, 0, 255}));
            EXPECT_EQ(pixel(2 + dx, 2 + dy), (std::vector<int>{0, 0, 255, 255}));
            EXPECT_EQ(pixel(4 + dx, 2 + dy), (std::vector<int>{0, 0, 0, 0}));
        }
}

TEST(PngFile, LargeImageSpansSeveralStoredBlocks) {
    std::string text = "colour a 102030\ncolour b none\nimage big 256 256\n";
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x <= 256; ++x) text += x == 256 ? '\n' : ((x + y) % 3 ? 'a' : 'b');
    MapFile map = ParseOk(text);
    std::vector<uint8_t> b;
    std::string error;
    ASSERT_TRUE(pixmap::EncodePng(map.images[0], 1, b, error)) << error;
    Png png = ReadPng(b);
    ASSERT_EQ(png.rgba.size(), 256u * 256u * 4u);
    for (size_t i = 0; i < 256 * 256; i += 257) {
        const bool transparent = (i % 256 + i / 256) % 3 == 0;
        EXPECT_EQ(png.rgba[i * 4 + 3], transparent ? 0 : 255) << i;
        EXPECT_EQ(png.rgba[i * 4], transparent ? 0 : 0x10) << i;
    }
    EXPECT_FALSE(pixmap::EncodePng(map.images[0], 2, b, error));
    EXPECT_EQ(error, "image big scaled 2 times is not between 1 and 256 pixels");
    EXPECT_EQ(ParseError("output a.png a scale 0\n"), "line 1: scale must be 1 to 16");
    EXPECT_EQ(ParseError("output a.png a scale 17\n"), "line 1: scale must be 1 to 16");
}

// The maps the program is built from.
MapFile ProgramMaps() {
    MapFile map;
    for (const char* name : {"icons.pxm", "cursors.pxm", "toolbar.pxm"}) {
        std::ifstream in(std::string(LORK2_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        EXPECT_TRUE(pixmap::Parse(text.str(), map, error)) << name << ": " << error;
    }
    return map;
}

TEST(ProgramImages, EveryOutputBuilds) {
    MapFile map = ProgramMaps();
    std::vector<std::string> files;
    for (const pixmap::Output& output : map.outputs) {
        SCOPED_TRACE(output.file);
        std::vector<uint8_t> b;
        std::string error;
        EXPECT_TRUE(pixmap::Build(map, output, b, error)) << error;
        files.push_back(output.file);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"icon1.ico", "icon2.ico", "icon3.ico", "zoomin.cur", "zoomout.cur",
                                               "toolbar16.bmp", "toolbar24.bmp"}));
}

TEST(ProgramImages, ToolbarStripsOfTenSquaresOnButtonGrey) {
    MapFile map = ProgramMaps();
    const Colour grey{192, 192, 192, true};
    for (const pixmap::Output& output : map.outputs) {
        if (output.file.find("toolbar") != 0) continue;
        SCOPED_TRACE(output.file);
        const int side = output.file == "toolbar16.bmp" ? 16 : 24;
        ASSERT_EQ(output.images.size(), static_cast<size_t>(kOwnImageCount));
        for (const std::string& name : output.images) {
            SCOPED_TRACE(name);
            const Image* image = map.Find(name);
            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->width, side);
            EXPECT_EQ(image->height, side);
            int background = 0;
            for (const Colour& c : image->pixels) {
                background += c == grey;
                // These greys would turn into 3D colours on loading.
                EXPECT_NE(c, (Colour{128, 128, 128, true}));
                EXPECT_NE(c, (Colour{223, 223, 223, true}));
            }
            EXPECT_GT(background, side * side / 4);
            EXPECT_LT(background, side * side);
        }
    }
}

TEST(ProgramImages, DesktopIconsInTheThemeSizes) {
    MapFile map = ProgramMaps();
    const size_t programOutputs = map.outputs.size();
    std::ifstream in(std::string(LORK2_SOURCE_DIR) + "/resources/desktop-icons.pxm", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    ASSERT_TRUE(pixmap::Parse(text.str(), map, error)) << error;
    std::vector<uint32_t> sides;
    for (size_t i = programOutputs; i < map.outputs.size(); ++i) {
        const pixmap::Output& output = map.outputs[i];
        SCOPED_TRACE(output.file);
        std::vector<uint8_t> b;
        ASSERT_TRUE(pixmap::Build(map, output, b, error)) << error;
        Png png = ReadPng(b);
        EXPECT_EQ(png.width, png.height);
        EXPECT_EQ(output.file, "lork2-" + std::to_string(png.width) + ".png");
        EXPECT_EQ(output.images, std::vector<std::string>{png.width == 16 || png.width == 48 ? "program16" : "program32"});
        sides.push_back(png.width);
    }
    EXPECT_EQ(sides, (std::vector<uint32_t>{16, 32, 48, 64, 128, 256}));
}

TEST(ProgramImages, IconsAndCursorsOfTheRightSizes) {
    MapFile map = ProgramMaps();
    for (const char* name : {"program16", "html16"}) EXPECT_EQ(map.Find(name)->width, 16) << name;
    for (const char* name : {"program32", "html32", "zoomin", "zoomout"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(map.Find(name)->width, 32);
        EXPECT_EQ(map.Find(name)->height, 32);
    }
    for (const char* name : {"zoomin", "zoomout"}) {
        SCOPED_TRACE(name);
        const Image* cursor = map.Find(name);
        EXPECT_EQ(cursor->hotX, 7);
        EXPECT_EQ(cursor->hotY, 7);
        EXPECT_EQ(cursor->At(7, 7), (Colour{0, 0, 0, true})); // the middle of the sign
    }
    // Plus and minus differ in the upright stroke only.
    EXPECT_EQ(map.Find("zoomin")->At(7, 5), (Colour{0, 0, 0, true}));
    EXPECT_EQ(map.Find("zoomout")->At(7, 5), (Colour{255, 255, 255, true}));
}

} // namespace
