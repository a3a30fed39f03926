// Scanning the raw command line of the program: an optional print switch and
// one file name, quoted or not.
#pragma once

#include <string>
#include <string_view>

struct CommandLine {
    std::string name;   // the file name as written, before turning into a full path
    bool print = false; // a word beginning with /p or /P preceded the name
};

// The scan depends on nothing but the string itself: the program name is
// skipped (up to the closing quote when quoted, else to the first blank),
// then quotes and blanks; "/p..." or "/P..." is the print switch; the rest
// up to the first double quote (or the end) is the name, blanks included.
CommandLine ScanCommandLine(std::string_view line);
