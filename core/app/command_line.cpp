#include "core/app/command_line.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipQuotesAndBlanks(std::string_view line, size_t& i) {
    while (i < line.size() && (line[i] == '"' || IsBlank(line[i]))) ++i;
}

} // namespace

CommandLine ScanCommandLine(std::string_view line) {
    CommandLine result;
    size_t i = 0;
    // The program name.
    if (i < line.size() && line[i] == '"') {
        ++i;
        while (i < line.size() && line[i] != '"') ++i;
    } else {
        while (i < line.size() && !IsBlank(line[i])) ++i;
    }
    SkipQuotesAndBlanks(line, i);
    // The print switch: any word that begins with /p or /P.
    if (i + 1 < line.size() && line[i] == '/' && (line[i + 1] == 'p' || line[i + 1] == 'P')) {
        result.print = true;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        SkipQuotesAndBlanks(line, i);
    }
    // The name, up to the first double quote; blanks inside are kept.
    size_t end = i;
    while (end < line.size() && line[end] != '"' && line[end] != '\0') ++end;
    result.name.assign(line.substr(i, end - i));
    return result;
}
