#include "editor/memory_check.h"

#include <windows.h>

#include <cstdio>

#include "base/globals.h"
#include "core/editor/memory_need.h"
#include "core/app/number_words.h"
#include "core/editor/time_need.h"
#include "editor/control.h"

namespace {

AvailableMemoryReader g_availableMemoryReader;
double g_machineSlowness = 1;

uint64_t SystemAvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX; // no reading: nothing is refused
    uint64_t available = status.ullAvailPhys < status.ullAvailVirtual ? status.ullAvailPhys : status.ullAvailVirtual;
    if (status.ullTotalPhys / 2 < available) available = status.ullTotalPhys / 2;
    return available;
}

void Refuse(const char* text) { MessageBoxA(g_shell.mainWindow, text, "LORK2", MB_OK | MB_ICONEXCLAMATION); }

bool Admits(const char* what, bool file, const unsigned char* bytes, int32_t n, int codePage, int64_t extra,
            int32_t dropped, bool wordWrap, bool* unwrap) {
    if (n <= 0 || !bytes) return true;
    const uint64_t available = AvailableMemory();
    const TextShape shape = MeasureTextShape(bytes, static_cast<size_t>(n), codePage, true);
    Admission judged = JudgeAdmission(shape, wordWrap, extra, dropped, available, g_machineSlowness);
    if (judged.verdict == Verdict::Admit) return true;
    const bool cheaperUnwrapped = judged.verdict == Verdict::AdmitUnwrapped;
    if (cheaperUnwrapped && unwrap) {
        *unwrap = true;
        return true;
    }
    if (cheaperUnwrapped) { // refused as it would be shown
        judged.time = EstimateTime(shape, wordWrap, g_machineSlowness);
        judged.verdict =
            judged.time.paragraphSeconds > kParagraphSecondsLimit ? Verdict::RefuseParagraph : Verdict::RefuseTime;
    }
    const char* name = what ? what : "";
    char text[kPathSize + 300];
    char duration[40];
    char memory[40];
    switch (judged.verdict) {
    case Verdict::RefuseMemory:
        snprintf(text, sizeof text,
                 file ? "%.259s: для этого файла нужно около %s МБ памяти, доступно %s МБ."
                      : "%.259s: нужно около %s МБ памяти, доступно %s МБ.",
                 name, GroupedNumber(MegabytesUp(judged.memory.need)).c_str(),
                 GroupedNumber(static_cast<int64_t>(available >> 20)).c_str());
        break;
    case Verdict::RefuseTime:
        snprintf(text, sizeof text, "%.259s: около %s и %s памяти; для таких %s есть lork2-text.", name,
                 DurationWords(judged.time.seconds, duration, sizeof duration),
                 MemoryWords(judged.memory.need, memory, sizeof memory), file ? "файлов" : "текстов");
        break;
    default: // a paragraph too slow as it would be shown
        snprintf(text, sizeof text,
                 "%.259s: строка длиной %s, около %s на её показ и на каждую клавишу в ней; %s%s",
                 name, CountWords(judged.time.paragraphLength, "знак", "знака", "знаков").c_str(),
                 DurationWords(judged.time.paragraphSeconds, duration, sizeof duration),
                 file ? "такой файл редактор не откроет" : "такой текст редактор не возьмёт",
                 cheaperUnwrapped ? " с переносом по словам (без него возьмёт)." : ".");
        break;
    }
    Refuse(text);
    return false;
}

} // namespace

uint64_t AvailableMemory() { return g_availableMemoryReader ? g_availableMemoryReader() : SystemAvailableMemory(); }

void SetAvailableMemoryReader(AvailableMemoryReader reader) { g_availableMemoryReader = reader; }

void SetMachineSlowness(double slowness) { g_machineSlowness = slowness > 0 ? slowness : 1; }

bool ControlAdmits(const char* what, bool file, const unsigned char* bytes, int32_t n, int codePage, int64_t extra,
                   int32_t dropped, bool* unwrap) {
    if (unwrap) *unwrap = false;
    return Admits(what, file, bytes, n, codePage, extra, dropped, g_editorState.wrapStyle == 0, unwrap);
}

bool ControlAdmitsWrapped(const char* what, const unsigned char* bytes, int32_t n, int codePage, bool wordWrap) {
    // The text read and its copy kept while the new control fills; the old
    // control goes first.
    return Admits(what, false, bytes, n, codePage, int64_t{n} * 2, n, wordWrap, nullptr);
}
