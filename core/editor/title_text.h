// The text of the main window's title.
#pragma once

#include <string>
#include <string_view>

// The file name shown in the title: the part after the last backslash,
// searching back no further than the fourth character; a path without a
// backslash there is used whole.
std::string_view TitleFileName(std::string_view path);
// "[" + file name + "]-LORK2".
std::string WindowTitle(std::string_view path);
