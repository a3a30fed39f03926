// resgen: writes the icon, cursor and bitmap files named by the "output"
// lines of pixel-map files (see pixmap.h) into a directory.
//
//   resgen OUTPUT-DIRECTORY MAP-FILE...
//
// All maps are read before anything is written, so an output may use images
// of any of the files.
#include "tools/pixmap.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: resgen OUTPUT-DIRECTORY MAP-FILE...\n";
        return 2;
    }
    const std::string directory = argv[1];
    pixmap::MapFile map;
    std::vector<std::string> sources; // the map file of each output
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::cerr << "resgen: cannot read " << argv[i] << "\n";
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        if (!pixmap::Parse(text.str(), map, error)) {
            std::cerr << argv[i] << ": " << error << "\n";
            return 1;
        }
        sources.resize(map.outputs.size(), argv[i]);
    }
    for (size_t k = 0; k < map.outputs.size(); ++k) {
        const pixmap::Output& output = map.outputs[k];
        const std::string& source = sources[k];
        std::vector<uint8_t> bytes;
        std::string error;
        if (!pixmap::Build(map, output, bytes, error)) {
            std::cerr << source << ": " << error << "\n";
            return 1;
        }
        const std::string path = directory + "/" + output.file;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "resgen: cannot write " << path << "\n";
            std::remove(path.c_str());
            return 1;
        }
    }
    return 0;
}
