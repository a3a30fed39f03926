#include "editor/memory_check.h"

#include <windows.h>

#include "base/globals.h"
#include "core/editor/memory_need.h"
#include "editor/control.h"

namespace {

AvailableMemoryReader g_availableMemoryReader;

uint64_t SystemAvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX; // no reading: nothing is refused
    return status.ullAvailPhys < status.ullAvailVirtual ? status.ullAvailPhys : status.ullAvailVirtual;
}

} // namespace

uint64_t AvailableMemory() { return g_availableMemoryReader ? g_availableMemoryReader() : SystemAvailableMemory(); }

void SetAvailableMemoryReader(AvailableMemoryReader reader) { g_availableMemoryReader = reader; }

bool MemoryAdmits(const char* what, bool file, const unsigned char* bytes, int32_t n, int codePage, int64_t extra,
                  int32_t dropped) {
    if (n <= 0 || !bytes) return true;
    const uint64_t available = AvailableMemory();
    const TextShape shape = MeasureTextShape(bytes, static_cast<size_t>(n), codePage, g_editorState.wrapStyle == 0);
    const MemoryNeed judged = JudgeMemory(shape, extra, dropped, available);
    if (judged.fits) return true;
    char text[kPathSize + 160];
    wsprintfA(text, file ? "%.259s: для этого файла нужно около %lu МБ памяти, доступно %lu МБ."
                         : "%.259s: нужно около %lu МБ памяти, доступно %lu МБ.",
              what ? what : "", static_cast<unsigned long>(MegabytesUp(judged.need)),
              static_cast<unsigned long>(available >> 20));
    MessageBoxA(g_shell.mainWindow, text, "LORK2", MB_OK | MB_ICONEXCLAMATION);
    return false;
}
