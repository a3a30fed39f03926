// The texts of the About box.
#pragma once

#include <string>
#include <string_view>

struct AboutTexts {
    // Name and version written together, "#", then the motto: the system
    // shows the part before "#" in the box's title and the rest on its first
    // line.
    std::string application;
    // Two lines (CR LF between them): who makes the program and when, then
    // the web and mail addresses.
    std::string other;
};

// `webAddress` and `mailUrl` ("mailto:..." ) are the addresses the help
// menu opens; the mail address is shown without its "mailto:".
AboutTexts MakeAboutTexts(std::string_view version, std::string_view webAddress, std::string_view mailUrl);
// The texts of this build: its version and the help menu's addresses.
AboutTexts ProgramAboutTexts();
