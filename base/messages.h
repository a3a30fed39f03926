// The program's message boxes: owned by the main window, caption "LORK2".
// Every text is put together in one bounded buffer here, so no caller builds
// one in a fixed array of its own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <string_view>

// Room for the longest text a message box of the program shows: a file name
// of 259 characters with the words around it fits many times over.
constexpr std::size_t kMessageTextSize = 1024;

// Joins the parts into `out` (NUL-terminated, `size` bytes at most, `size`
// at least 1); a text longer than the buffer is cut at its end. Returns the
// length written.
std::size_t ComposeMessageText(char* out, std::size_t size, std::initializer_list<std::string_view> parts);

// A message box with the parts joined as its text, `type` its buttons and
// icon (MB_YESNO | MB_ICONQUESTION ...); MessageBoxA's answer.
int ShowMessage(UINT type, std::initializer_list<std::string_view> parts);

// Shows the calling thread's last system error (10 when none is set) in a
// message box with the information icon.
void ShowSystemError();
// The program's memory message: the system's text for ERROR_NOT_ENOUGH_MEMORY.
void ShowNoMemory();
// The same error after the name of the file it concerns:
// "C:\\Docs\\a.txt: доступ запрещён".
void ShowFileError(std::string_view path);
