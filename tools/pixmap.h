// Pixel maps: images written as text, one character per pixel, turned into
// the icon, cursor and bitmap files the resource compiler takes.
//
// The text is read line by line; trailing blanks are ignored.
//
//   ; a comment (also blank lines, outside the rows of an image)
//   colour C RRGGBB      the character C (printable, not a blank, not ';')
//   colour C none        stands for a colour, or for a transparent pixel
//   image NAME W H       followed by exactly H rows of W characters
//   image NAME W H hotspot X Y
//   output FILE NAME...  FILE ending in .ico: an icon with one entry per image
//                        (32 bits a pixel with an AND mask); .cur: a
//                        monochrome cursor of one image (black, white and
//                        transparent only); .bmp: the images side by side in
//                        one 8-bit bitmap (same heights, nothing transparent);
//                        .png: one image in RGBA (the desktop icons on Linux)
//   output FILE.png NAME scale N
//                        the image enlarged N times (1 to 16), each pixel
//                        becoming an N by N square; at most 256 on a side
//
// A colour applies to the rows that follow it and may be redefined.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pixmap {

struct Colour {
    uint8_t r = 0, g = 0, b = 0;
    bool opaque = false;
    bool operator==(const Colour&) const = default;
};

struct Image {
    std::string name;
    int width = 0;
    int height = 0;
    int hotX = 0, hotY = 0;
    std::vector<Colour> pixels; // row by row from the top, width * height
    const Colour& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Output {
    std::string file;
    std::vector<std::string> images;
    int scale = 1;
    int line = 0;
};

struct MapFile {
    std::vector<Image> images;
    std::vector<Output> outputs;
    const Image* Find(std::string_view name) const;
};

// Adds the images and outputs of `text` to `map`. On an error returns false
// with `error` telling the line and the fault.
bool Parse(std::string_view text, MapFile& map, std::string& error);

// The encoders return false with `error` set when the images do not fit the
// format; `bytes` receives the whole file.
bool EncodeIcon(const std::vector<const Image*>& images, std::vector<uint8_t>& bytes, std::string& error);
bool EncodeCursor(const Image& image, std::vector<uint8_t>& bytes, std::string& error);
bool EncodeBitmap(const std::vector<const Image*>& images, std::vector<uint8_t>& bytes, std::string& error);
// A PNG file of 8-bit RGBA, transparent pixels with alpha 0; the image data is
// a zlib stream of stored (uncompressed) blocks, which every reader takes.
bool EncodePng(const Image& image, int scale, std::vector<uint8_t>& bytes, std::string& error);

// Encodes one output of the map by the ending of its file name.
bool Build(const MapFile& map, const Output& output, std::vector<uint8_t>& bytes, std::string& error);

} // namespace pixmap
