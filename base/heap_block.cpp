#include "base/heap_block.h"

#include "base/globals.h"

namespace {
HANDLE ProcessHeap() { return g_shell.heap ? g_shell.heap : GetProcessHeap(); }
} // namespace

// Serialised: the process heap is shared with the threads the system starts
// in the process (the file dialogs', the printing's), which use it at the
// same time.
void* HeapAllocBlock(std::size_t n) { return HeapAlloc(ProcessHeap(), HEAP_ZERO_MEMORY, n ? n : 1); }

void HeapFreeBlock(void* p) {
    if (p) HeapFree(ProcessHeap(), 0, p);
}
