#include "core/dialogs/about_text.h"

#include "core/app/command_ids.h"
#include "core/app/menu_tables.h"
#include "lork2_version.h"

AboutTexts MakeAboutTexts(std::string_view version, std::string_view webAddress, std::string_view mailUrl) {
    constexpr std::string_view kMailScheme = "mailto:";
    std::string_view mail = mailUrl;
    if (mail.substr(0, kMailScheme.size()) == kMailScheme) mail.remove_prefix(kMailScheme.size());
    AboutTexts texts;
    texts.application = "LORK2-";
    texts.application += version;
    texts.application += "#Три кириллические кодировки в одном редакторе";
    texts.other = "Разработчики LORK2, 2026\r\n";
    texts.other += webAddress;
    texts.other += "   ";
    texts.other += mail;
    return texts;
}

AboutTexts ProgramAboutTexts() {
    return MakeAboutTexts(LORK2_VERSION, CommandCaption(IDM_WEB_PAGE), CommandCaption(IDM_MAIL));
}
