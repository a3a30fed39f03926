// The file classes the program can take over from the system's plain editor,
// the verbs it registers, and the texts it writes and recognises.
#pragma once

#include <array>
#include <string>
#include <string_view>

constexpr int kAssociationClassCount = 6;
// "txtfile", "inifile", "inffile", "batfile", "cmdfile", "regfile".
extern const char* const kAssociationClasses[kAssociationClassCount];

enum AssociationVerb : int { kVerbEdit = 0, kVerbOpen = 1, kVerbIcon = 2, kVerbPrint = 3 };
constexpr int kAssociationVerbCount = 4;

// The key of a class's verb under HKEY_CLASSES_ROOT, such as
// "txtfile\shell\open\command" or "txtfile\DefaultIcon".
std::string VerbKeyName(std::string_view className, int verb);

// The program's text for a verb: its path and the verb's argument (" %1",
// " /p %1", or ",1" for the icon, the program's second icon group). A path
// with a blank is quoted in the commands, so that the system cannot start a
// program named after the path's first word; the icon entry is never run
// and keeps the plain path.
std::string OwnVerbText(std::string_view programPath, int verb);
// Both forms that count as the program's registration: the plain path (as
// written by earlier versions) and the quoted one.
std::array<std::string, 2> AcceptedOwnVerbTexts(std::string_view programPath, int verb);
// What hands a verb back to the system's plain editor: "notepad.exe" and the
// verb's argument.
std::string HandBackVerbText(int verb);

// The check boxes of the dialog: a class and the verbs one box stands for.
struct AssociationBox {
    int controlId;
    const char* className;
    int verbs[2];
    int verbCount;
};
constexpr int kAssociationBoxCount = 7;
extern const AssociationBox kAssociationBoxes[kAssociationBoxCount];
