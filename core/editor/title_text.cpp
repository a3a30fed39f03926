#include "core/editor/title_text.h"

std::string_view TitleFileName(std::string_view path) {
    // Stop at index 3 so that "C:\A" still yields "A".
    for (size_t i = path.size(); i > 3; --i) {
        if (path[i - 1] == '\\') return path.substr(i);
    }
    if (path.size() > 3 && path[2] == '\\') return path.substr(3);
    return path;
}

std::string WindowTitle(std::string_view path) {
    std::string title = "[";
    title += TitleFileName(path);
    title += "]-LORK2";
    return title;
}
