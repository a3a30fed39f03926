// The command-line scan on any line: the name is a piece of the line after
// the program name and the switch, holds no double quote or NUL, and the
// print switch is seen only where the line has "/p" or "/P".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const CommandLine scanned = ScanCommandLine(line);
    if (scanned.name.size() > line.size()) std::abort();
    if (scanned.name.find('"') != std::string::npos || scanned.name.find('\0') != std::string::npos) std::abort();
    if (!scanned.name.empty() && line.find(scanned.name) == std::string_view::npos) std::abort();
    if (scanned.print && line.find("/p") == std::string_view::npos && line.find("/P") == std::string_view::npos)
        std::abort();
    // A quoted program name and the same name behind it give that name back.
    if (!scanned.name.empty() && scanned.name.front() != ' ' && scanned.name.front() != '\t' &&
        scanned.name.front() != '/') {
        const std::string again = "\"x y.exe\" \"" + scanned.name + "\"";
        if (ScanCommandLine(again).name != scanned.name || ScanCommandLine(again).print) std::abort();
    }
    return 0;
}
