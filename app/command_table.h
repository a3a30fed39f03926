// The main window's commands as one table: dispatch, the menu update and the
// toolbar update all read it.
#pragma once

#include <span>

using CommandHandler = void (*)(int id);
using CommandRule = bool (*)();

struct CommandRow {
    int id;
    const char* caption;
    CommandHandler run;   // nullptr: the command does nothing
    CommandRule enabled;  // nullptr: always enabled
    CommandRule checked;  // nullptr: never checked
};

std::span<const CommandRow> CommandRows();
// The row of an identifier, or nullptr.
const CommandRow* FindCommand(int id);
bool CommandEnabled(const CommandRow& row);
bool CommandChecked(const CommandRow& row);
