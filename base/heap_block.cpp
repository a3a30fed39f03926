#include "base/heap_block.h"

#include "base/globals.h"

namespace {
HANDLE ProcessHeap() { return g_heap ? g_heap : GetProcessHeap(); }
} // namespace

void* HeapAllocBlock(std::size_t n) {
    return HeapAlloc(ProcessHeap(), HEAP_NO_SERIALIZE | HEAP_ZERO_MEMORY, n ? n : 1);
}

void HeapFreeBlock(void* p) {
    if (p) HeapFree(ProcessHeap(), HEAP_NO_SERIALIZE, p);
}
