#include "base/messages.h"

#include <cstring>

#include "base/globals.h"
#include "core/document/file_names.h"

namespace {
constexpr char kMessageCaption[] = "LORK2";
} // namespace

std::size_t ComposeMessageText(char* out, std::size_t size, std::initializer_list<std::string_view> parts) {
    if (!out || size == 0) return 0;
    std::size_t length = 0;
    for (std::string_view part : parts) {
        const std::size_t room = size - 1 - length;
        const std::size_t n = part.size() < room ? part.size() : room;
        memcpy(out + length, part.data(), n);
        length += n;
        if (n < part.size()) break;
    }
    out[length] = '\0';
    return length;
}

int ShowMessage(UINT type, std::initializer_list<std::string_view> parts) {
    char text[kMessageTextSize];
    ComposeMessageText(text, sizeof text, parts);
    return MessageBoxA(g_shell.mainWindow, text, kMessageCaption, type);
}

namespace {

// The system's text for the calling thread's last error (10 when none is
// set) given to `show`.
template <typename Show> void WithSystemErrorText(Show show) {
    DWORD code = GetLastError();
    if (code == 0) code = ERROR_BAD_ENVIRONMENT;
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0,
                   reinterpret_cast<char*>(&text), 0, nullptr);
    show(text ? std::string_view(text) : std::string_view());
    if (text) LocalFree(text);
}

} // namespace

void ShowSystemError() {
    WithSystemErrorText([](std::string_view text) { ShowMessage(MB_ICONINFORMATION, {text}); });
}

void ShowNoMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ShowSystemError();
}

void ShowFileError(std::string_view path) {
    WithSystemErrorText(
        [path](std::string_view text) { ShowMessage(MB_ICONINFORMATION, {FileErrorText(path, text)}); });
}
