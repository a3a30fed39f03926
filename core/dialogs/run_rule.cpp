#include "core/dialogs/run_rule.h"

bool CanRunDocument(std::string_view fileName, std::string_view untitledName) {
    if (fileName == untitledName) return false;
    if (fileName.size() <= 4) return true;
    std::string_view tail = fileName.substr(fileName.size() - 4);
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    const char txt[] = ".txt";
    for (int i = 0; i < 4; ++i)
        if (lower(tail[i]) != txt[i]) return true;
    return false;
}
