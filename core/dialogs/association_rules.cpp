#include "core/dialogs/association_rules.h"

#include "core/dialogs/dialog_ids.h"

namespace {

struct VerbEntry {
    const char* keySuffix;
    const char* argument;
};

constexpr VerbEntry kVerbs[kAssociationVerbCount] = {
    {"\\shell\\edit\\command", " %1"},
    {"\\shell\\open\\command", " %1"},
    {"\\DefaultIcon", ",1"},
    {"\\shell\\print\\command", " /p %1"},
};

const VerbEntry& Verb(int verb) { return kVerbs[verb >= 0 && verb < kAssociationVerbCount ? verb : kVerbOpen]; }

std::string Quoted(std::string_view path) {
    std::string quoted = "\"";
    quoted += path;
    quoted += '"';
    return quoted;
}

} // namespace

const char* const kAssociationClasses[kAssociationClassCount] = {"txtfile", "inifile", "inffile",
                                                                 "batfile", "cmdfile", "regfile"};

const AssociationBox kAssociationBoxes[kAssociationBoxCount] = {
    {IDC_ASSOC_TXT_OPEN, "txtfile", {kVerbOpen, kVerbIcon}, 2},
    {IDC_ASSOC_INI_OPEN, "inifile", {kVerbOpen, kVerbIcon}, 2},
    {IDC_ASSOC_INF_OPEN, "inffile", {kVerbOpen, kVerbIcon}, 2},
    {IDC_ASSOC_BAT_EDIT, "batfile", {kVerbEdit, kVerbEdit}, 1},
    {IDC_ASSOC_CMD_EDIT, "cmdfile", {kVerbEdit, kVerbEdit}, 1},
    {IDC_ASSOC_REG_EDIT, "regfile", {kVerbEdit, kVerbEdit}, 1},
    {IDC_ASSOC_TXT_PRINT, "txtfile", {kVerbPrint, kVerbPrint}, 1},
};

std::string VerbKeyName(std::string_view className, int verb) {
    std::string key(className);
    key += Verb(verb).keySuffix;
    return key;
}

std::string OwnVerbText(std::string_view programPath, int verb) {
    const bool quote = verb != kVerbIcon && programPath.find(' ') != std::string_view::npos;
    std::string text = quote ? Quoted(programPath) : std::string(programPath);
    text += Verb(verb).argument;
    return text;
}

std::array<std::string, 2> AcceptedOwnVerbTexts(std::string_view programPath, int verb) {
    std::string plain(programPath);
    plain += Verb(verb).argument;
    std::string quoted = Quoted(programPath);
    quoted += Verb(verb).argument;
    return {plain, quoted};
}

std::string HandBackVerbText(int verb) { return std::string("notepad.exe") + Verb(verb).argument; }
