// The file associations dialog against the registry of the test prefix:
// every key the tests touch is put back as it was.
#include "tests/wine/editor_fixture.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/globals.h"
#include "core/app/command_ids.h"
#include "core/dialogs/association_rules.h"
#include "core/dialogs/dialog_ids.h"
#include "dialogs/associations.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

std::string ProgramPath() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

using harness::ReadClassesDefault;

void WriteDefault(const std::string& key, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, key.c_str(), &k), ERROR_SUCCESS) << key;
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
}

bool KeyExists(const std::string& key) {
    HKEY k = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, key.c_str(), &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

// Every key of the six classes and four verbs, and each key on the way to
// it ("txtfile\shell\edit" ...): whether it exists and its default value.
std::vector<std::string> WatchedKeys() {
    std::vector<std::string> keys;
    for (const char* cls : kAssociationClasses) {
        for (const char* part : {"", "\\shell", "\\shell\\edit", "\\shell\\open", "\\shell\\print", "\\DefaultIcon",
                                 "\\shell\\edit\\command", "\\shell\\open\\command", "\\shell\\print\\command"})
            keys.push_back(std::string(cls) + part);
    }
    return keys;
}

struct KeyState {
    bool exists;
    std::optional<std::string> value;
    bool operator==(const KeyState&) const = default;
};

std::map<std::string, KeyState> RegistryState() {
    std::map<std::string, KeyState> state;
    for (const std::string& key : WatchedKeys()) state[key] = {KeyExists(key), ReadClassesDefault(key)};
    return state;
}

class Associations : public DialogTest {
protected:
    void SetUp() override {
        saved_ = RegistryState();
        EditorTest::SetUp();
    }
    void TearDown() override {
        DialogTest::TearDown();
        // Deepest keys first, so that a key made by a test can go.
        const std::vector<std::string> keys = WatchedKeys();
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            const KeyState& was = saved_[*key];
            if (!was.exists) {
                RegDeleteKeyA(HKEY_CLASSES_ROOT, key->c_str());
                continue;
            }
            HKEY k = nullptr;
            if (RegOpenKeyA(HKEY_CLASSES_ROOT, key->c_str(), &k) != ERROR_SUCCESS) continue;
            if (was.value)
                RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(was.value->c_str()),
                               static_cast<DWORD>(was.value->size() + 1));
            else
                RegDeleteValueA(k, nullptr);
            RegCloseKey(k);
        }
        EXPECT_EQ(RegistryState(), saved_) << "the prefix's classes are put back";
    }

    // Opens the dialog, records which boxes are checked, lets `change` act
    // on it, then presses `button`.
    std::map<int, bool> RunDialog(int button, std::function<void(HWND)> change = nullptr) {
        std::map<int, bool> checked;
        AnswerNextDialog([&](HWND dialog) {
            for (const AssociationBox& box : kAssociationBoxes)
                checked[box.controlId] = IsDlgButtonChecked(dialog, box.controlId) == BST_CHECKED;
            if (change) change(dialog);
            PressButton(button)(dialog);
        });
        Command(IDM_ASSOCIATIONS);
        return checked;
    }

    std::map<std::string, KeyState> saved_;
};

const std::string kTxtOpen = "txtfile\\shell\\open\\command";
const std::string kTxtIcon = "txtfile\\DefaultIcon";

TEST_F(Associations, OpenWithoutIconShowsUncheckedAndOkCompletesOrHandsBack) {
    const std::string own = ProgramPath();
    WriteDefault(kTxtOpen, own + " %1");
    WriteDefault(kTxtIcon, "shell32.dll,-152");
    EXPECT_TRUE(IsOwnVerb("txtfile", kVerbOpen));
    EXPECT_FALSE(IsOwnVerb("txtfile", kVerbIcon));

    // Checked: the icon joins the open verb, which is left as it was.
    std::map<int, bool> shown = RunDialog(IDOK, [](HWND dialog) { PressButton(IDC_ASSOC_TXT_OPEN)(dialog); });
    EXPECT_FALSE(shown[IDC_ASSOC_TXT_OPEN]);
    EXPECT_EQ(ReadClassesDefault(kTxtIcon), own + ",1");
    EXPECT_EQ(ReadClassesDefault(kTxtOpen), own + " %1");
    shown = RunDialog(IDCANCEL);
    EXPECT_TRUE(shown[IDC_ASSOC_TXT_OPEN]);

    // Unchanged from the mixed state: the open verb goes back to notepad.
    WriteDefault(kTxtIcon, "shell32.dll,-152");
    RunDialog(IDOK);
    EXPECT_EQ(ReadClassesDefault(kTxtOpen), "notepad.exe %1");
    EXPECT_EQ(ReadClassesDefault(kTxtIcon), "shell32.dll,-152");
}

TEST_F(Associations, CheckingRegistersEveryVerbOfTheBoxAndUncheckingHandsThemBack) {
    const std::string own = ProgramPath();
    std::string caption;
    HICON icon = nullptr;
    RunDialog(IDOK, [&](HWND dialog) {
        char text[64] = "";
        GetWindowTextA(dialog, text, sizeof text);
        caption = text;
        icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        for (int id : {IDC_ASSOC_INI_OPEN, IDC_ASSOC_BAT_EDIT, IDC_ASSOC_TXT_PRINT})
            if (IsDlgButtonChecked(dialog, id) != BST_CHECKED) PressButton(id)(dialog);
        harness::SaveScreenshot(dialog, "associations");
    });
    EXPECT_EQ(caption, "Расширения");
    EXPECT_EQ(icon, g_shell.smallIcon);
    EXPECT_EQ(ReadClassesDefault("inifile\\shell\\open\\command"), own + " %1");
    EXPECT_EQ(ReadClassesDefault("inifile\\DefaultIcon"), own + ",1");
    EXPECT_EQ(ReadClassesDefault("batfile\\shell\\edit\\command"), own + " %1");
    EXPECT_EQ(ReadClassesDefault("txtfile\\shell\\print\\command"), own + " /p %1");
    std::map<int, bool> shown = RunDialog(IDOK, [](HWND dialog) {
        for (int id : {IDC_ASSOC_INI_OPEN, IDC_ASSOC_BAT_EDIT, IDC_ASSOC_TXT_PRINT}) PressButton(id)(dialog);
    });
    EXPECT_TRUE(shown[IDC_ASSOC_INI_OPEN]);
    EXPECT_TRUE(shown[IDC_ASSOC_BAT_EDIT]);
    EXPECT_TRUE(shown[IDC_ASSOC_TXT_PRINT]);
    EXPECT_EQ(ReadClassesDefault("inifile\\shell\\open\\command"), "notepad.exe %1");
    EXPECT_EQ(ReadClassesDefault("inifile\\DefaultIcon"), "notepad.exe,1");
    EXPECT_EQ(ReadClassesDefault("batfile\\shell\\edit\\command"), "notepad.exe %1");
    EXPECT_EQ(ReadClassesDefault("txtfile\\shell\\print\\command"), "notepad.exe /p %1");
}

TEST_F(Associations, ThePathInOtherLetterCaseOrInQuotesCounts) {
    std::string upper = ProgramPath();
    CharUpperA(upper.data());
    WriteDefault("cmdfile\\shell\\edit\\command", upper + " %1");
    WriteDefault("regfile\\shell\\edit\\command", "\"" + ProgramPath() + "\" %1");
    WriteDefault("batfile\\shell\\edit\\command", "\"" + ProgramPath() + "\"%1"); // not what the program writes
    const std::map<int, bool> shown = RunDialog(IDCANCEL);
    EXPECT_TRUE(shown.at(IDC_ASSOC_CMD_EDIT));
    EXPECT_TRUE(shown.at(IDC_ASSOC_REG_EDIT));
    EXPECT_FALSE(shown.at(IDC_ASSOC_BAT_EDIT));
}

TEST_F(Associations, CancelAndUncheckingWhatWasNeverRegisteredWriteNothing) {
    for (const char* cls : kAssociationClasses)
        for (int verb = 0; verb < kAssociationVerbCount; ++verb) ASSERT_FALSE(IsOwnVerb(cls, verb)) << cls;
    const auto before = RegistryState();
    RunDialog(IDCANCEL, [](HWND dialog) {
        for (const AssociationBox& box : kAssociationBoxes) PressButton(box.controlId)(dialog);
    });
    EXPECT_EQ(RegistryState(), before);
    // OK with every box left unchecked: nothing is the program's, nothing to hand back.
    RunDialog(IDOK);
    EXPECT_EQ(RegistryState(), before);
}

} // namespace
