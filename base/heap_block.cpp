#include "base/heap_block.h"

#include "base/globals.h"

namespace {
HANDLE BlockHeap() { return g_shell.heap ? g_shell.heap : GetProcessHeap(); }
} // namespace

// The rich-edit control and the system take their blocks from the process
// heap. Our long-lived small ones there (the undo records and their texts)
// would sit between a control's blocks and keep apart the blocks it frees
// when it is destroyed, a free list the next control's fill walks again and
// again (bench/heap_results.txt). In a heap of their own they never do.
HANDLE ProgramHeap() {
    static const HANDLE heap = HeapCreate(0, 0, 0);
    return heap ? heap : GetProcessHeap();
}

// Serialised, as the process heap is: the threads the system starts in the
// process (the file dialogs', the printing's) may free a block of ours.
void* HeapAllocBlock(std::size_t n) { return HeapAlloc(BlockHeap(), HEAP_ZERO_MEMORY, n ? n : 1); }

void HeapFreeBlock(void* p) {
    if (p) HeapFree(BlockHeap(), 0, p);
}
