#include "dialogs/associations.h"

#include <windows.h>

#include <string>

#include "base/scoped.h"
#include "base/globals.h"
#include "base/modal_dialog.h"
#include "core/dialogs/association_rules.h"
#include "core/dialogs/dialog_ids.h"

namespace {

// The full path of the program; false when it does not fit the buffer.
bool ProgramPath(char (&path)[kPathSize]) {
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return n > 0 && n < sizeof path;
}

bool BoxOwned(const AssociationBox& box) {
    for (int i = 0; i < box.verbCount; ++i)
        if (!IsOwnVerb(box.className, box.verbs[i])) return false;
    return true;
}

void InitAssociations(HWND dialog, LPARAM) {
    for (const AssociationBox& box : kAssociationBoxes)
        if (BoxOwned(box)) CheckDlgButton(dialog, box.controlId, BST_CHECKED);
}

// Each verb is written only when its registration differs from its box: a
// checked box completes what is missing, an unchecked one hands back only
// what is the program's.
bool ApplyAssociations(HWND dialog) {
    for (const AssociationBox& box : kAssociationBoxes) {
        const bool checked = IsDlgButtonChecked(dialog, box.controlId) == BST_CHECKED;
        for (int i = 0; i < box.verbCount; ++i)
            if (IsOwnVerb(box.className, box.verbs[i]) != checked) SetVerb(box.className, box.verbs[i], checked);
    }
    return true;
}

constexpr DialogBehaviour kAssociationsDialog{InitAssociations, ApplyAssociations, nullptr};

} // namespace

bool IsOwnVerb(const char* className, int verb) {
    char path[kPathSize];
    if (!ProgramPath(path)) return false;
    ScopedRegistryKey key;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, VerbKeyName(className, verb).c_str(), key.out()) != ERROR_SUCCESS) return false;
    // Room for the longest own text, the quotes and " /p %1" included; a
    // longer value is someone else's.
    char stored[kPathSize + 32];
    DWORD size = sizeof stored - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    stored[size] = '\0';
    for (const std::string& own : AcceptedOwnVerbTexts(path, verb))
        if (lstrcmpiA(stored, own.c_str()) == 0) return true;
    return false;
}

void SetVerb(const char* className, int verb, bool own) {
    std::string text;
    if (own) {
        char path[kPathSize];
        if (!ProgramPath(path)) return;
        text = OwnVerbText(path, verb);
    } else {
        text = HandBackVerbText(verb);
    }
    ScopedRegistryKey key;
    if (RegCreateKeyA(HKEY_CLASSES_ROOT, VerbKeyName(className, verb).c_str(), key.out()) != ERROR_SUCCESS) return;
    RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

void AssociationsCommand(int) {
    RunModalDialog(IDD_ASSOCIATIONS, kAssociationsDialog);
}
