// The bare rich-edit control under Wine, filled four times in a row with the
// same text: each new control made and filled after the last one is gone,
// and each filled while the last one still holds its text, which is then
// destroyed (as the editor swaps in a fresh control, keeping the old
// document until the new one is all in). Prints each fill's time. Run each
// way in a process of its own: the heap remembers.
//
// With "records" or "own-heap", every round also keeps a few thousand
// small blocks alive, as an editing session's undo records are: in the
// process heap, among the control's blocks, or in a heap of their own (as
// the editor keeps its blocks). Each round then prints the fill's time and
// processor time and the free blocks the process heap holds after the old
// control is gone: what the next fill's allocations walk.
//
//   lork2_control_swap_bench [MB] [keep|records|own-heap] [rounds]
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/wine_bench.h"

namespace {

HWND FilledControl(HWND parent, const std::string& text) {
    HWND control = CreateWindowExA(0, RICHEDIT_CLASSA, nullptr,
                                   WS_CHILD | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL, 0, 0, 400,
                                   300, parent, nullptr, nullptr, nullptr);
    SendMessageA(control, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    BareStreamIn(control, text);
    return control;
}

// The free blocks of a heap, counted by walking it.
unsigned FreeBlocks(HANDLE heap) {
    unsigned n = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (!(entry.wFlags & (PROCESS_HEAP_ENTRY_BUSY | PROCESS_HEAP_REGION | PROCESS_HEAP_UNCOMMITTED_RANGE))) ++n;
    HeapUnlock(heap);
    return n;
}

// A round of editing's undo records: a small record and its saved text,
// both kept to the end of the session.
void KeepRecords(HANDLE heap, int round) {
    for (int i = 0; i < 3000; ++i) {
        HeapAlloc(heap, 0, 48);
        HeapAlloc(heap, 0, static_cast<SIZE_T>(16 + (i * 37 + round * 11) % 400));
    }
}

} // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? static_cast<size_t>(atoi(argv[1])) : 2;
    LoadLibraryA("riched20.dll");
    const std::string text = RepeatedLines(
        "Съешь же ещё этих мягких французских булок, да выпей чаю. 0123456789\r\n", megabytes * 1000 * 1000);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                  nullptr);
    const std::string mode = argc > 2 ? argv[2] : "";
    const bool keepOld = mode == "keep";
    const int rounds = argc > 3 ? atoi(argv[3]) : 4;
    HANDLE recordHeap = mode == "records" ? GetProcessHeap() : mode == "own-heap" ? HeapCreate(0, 0, 0) : nullptr;
    printf("%u MB, each fill in seconds, %s:\n", static_cast<unsigned>(megabytes),
           keepOld ? "filled while the last still holds its text" : "filled after the last is gone");
    if (recordHeap)
        printf("undo records kept in %s; round: wall, processor, free blocks of the process heap\n",
               mode == "records" ? "the process heap" : "a heap of their own");
    HWND last = nullptr;
    for (int i = 0; i < rounds; ++i) {
        if (!keepOld && last) DestroyWindow(last), last = nullptr;
        const unsigned freeBlocks = FreeBlocks(GetProcessHeap());
        const double start = Now();
        const double startCpu = ThreadTime();
        HWND made = FilledControl(parent, text);
        if (recordHeap)
            printf(" %d: %.2f %.2f %u\n", i + 1, Now() - start, ThreadTime() - startCpu, freeBlocks);
        else
            printf(" %.1f", Now() - start);
        fflush(stdout);
        if (last) DestroyWindow(last);
        last = made;
        if (recordHeap) KeepRecords(recordHeap, i);
    }
    DestroyWindow(last);
    printf("\n");
    return 0;
}
