// Shared by the benchmarks that run under Wine: the clock and the test
// document of the editor benchmarks.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// Seconds since some fixed moment, from the performance counter.
inline double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The processor time (user and kernel) of the calling thread, in seconds:
// on a shared machine, waiting for the other processes is no cost of the
// code timed.
inline double ThreadTime() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto seconds = [](const FILETIME& t) {
        return static_cast<double>(static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

inline std::string MakeDocument(size_t size) {
    // Lines of Cyrillic and Latin words, box drawing and digits.
    const char* words[] = {"\xCF\xF0\xE8\xE2\xE5\xF2", "text", "\xC9\xCD\xBB", "12345", "\xEC\xE8\xF0", "line"};
    std::string text;
    text.reserve(size + 100);
    size_t column = 0;
    for (size_t i = 0; text.size() < size; ++i) {
        text += words[i % 6];
        column += 6;
        if (column > 70) {
            text += "\r\n";
            column = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

// `line` repeated until the text holds at least `size` bytes.
inline std::string RepeatedLines(const std::string& line, size_t size) {
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    return text;
}

// The median seconds of `times` calls of `call`.
template <typename F>
double MedianSeconds(int times, F&& call) {
    std::vector<double> t;
    for (int i = 0; i < times; ++i) {
        const double start = Now();
        call();
        t.push_back(Now() - start);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// Starts `commandLine` (the program's path first, quoted); false when it
// could not be started.
inline bool StartProgram(std::string commandLine, PROCESS_INFORMATION& process) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    process = PROCESS_INFORMATION{};
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process) != FALSE;
}

// Ends a program a benchmark started, if it has not ended, and lets its
// handles go.
inline void EndProcess(PROCESS_INFORMATION& process) {
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Writes `text` as the whole of the file at `path`.
inline void WriteWholeFile(const std::string& path, const std::string& text) {
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
}

// `text` streamed into a rich-edit control as its bytes, the control alone
// (none of the editor's code on the way).
struct BareSource {
    const std::string* text;
    size_t position;
};

inline DWORD CALLBACK ReadBareSource(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* s = reinterpret_cast<BareSource*>(cookie);
    const size_t n = std::min(static_cast<size_t>(size), s->text->size() - s->position);
    memcpy(buffer, s->text->data() + s->position, n);
    s->position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

inline void BareStreamIn(HWND control, const std::string& text) {
    BareSource source{&text, 0};
    EDITSTREAM in{reinterpret_cast<DWORD_PTR>(&source), 0, ReadBareSource};
    SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&in));
}

// Every message waiting for the thread's windows, handled.
inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
