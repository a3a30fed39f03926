// What every OK/Cancel dialog of the program does alike: the small program
// icon, and the close box and Escape cancelling without a change.
#include "tests/wine/editor_fixture.h"

#include <string>
#include <vector>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"

namespace {

class ModalDialogs : public DialogTest {};

DWORD StoredSettingCount() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return 0;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values;
}

struct Opened {
    std::string caption;
    HICON smallIcon = nullptr;
};

// Opens the dialog of `command`, looks at it and closes it the way `close` does.
Opened OpenAndClose(int command, void (*close)(HWND)) {
    Opened opened;
    harness::AnswerNextDialog([&opened, close](HWND dialog) {
        char caption[128] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        opened.caption = caption;
        opened.smallIcon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
        close(dialog);
    });
    SendMessageA(g_shell.mainWindow, WM_COMMAND, command, 0);
    harness::Pump();
    return opened;
}

void CloseBox(HWND dialog) { SendMessageA(dialog, WM_CLOSE, 0, 0); }
void Escape(HWND dialog) { harness::PostKey(GetFocus() ? GetFocus() : dialog, VK_ESCAPE); }

TEST_F(ModalDialogs, EachShowsTheProgramIconAndCancelsOnCloseAndEscape) {
    Load(B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!"));
    Select(0, 6);
    const DWORD settingsBefore = StoredSettingCount();
    const struct {
        int command;
        const char* caption;
    } dialogs[] = {
        {IDM_OPTIONS, "Параметры"},       {IDM_FIND, "Найти..."},
        {IDM_REPLACE, "Заменить..."},     {IDM_ASSOCIATIONS, "Расширения"},
        {IDM_CHARACTER_TABLE, "Таблица символов"}, {IDM_ENCODINGS, "Кодировки"},
        {IDM_FONT_ANSI, nullptr},         {IDM_REPAIR_TEXT, "Восстановить текст"},
    };
    for (const auto& d : dialogs) {
        for (void (*close)(HWND) : {CloseBox, Escape}) {
            SCOPED_TRACE(d.command);
            const Opened opened = OpenAndClose(d.command, close);
            EXPECT_EQ(opened.smallIcon, g_shell.smallIcon);
            if (d.caption) {
                EXPECT_EQ(opened.caption, d.caption);
            }
            EXPECT_EQ(harness::DropUnusedAnswers(), 0) << "the dialog did not open";
            EXPECT_EQ(Text(), B("\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!"));
            EXPECT_EQ(Selection().cpMin, 0);
            EXPECT_EQ(Selection().cpMax, 6);
            EXPECT_FALSE(Modified());
            EXPECT_EQ(StoredSettingCount(), settingsBefore) << "a cancelled dialog stored something";
        }
    }
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

} // namespace
