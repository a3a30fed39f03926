// Working buffers from the program's heap: zero-filled, freed by whoever
// allocated them.
#pragma once

#include <windows.h>

#include <cstddef>

// The heap the program's own blocks come from (set into g_shell.heap at
// start-up): one of its own, made once per process; the process heap when
// none can be made.
HANDLE ProgramHeap();
// n zero bytes (at least one), or null.
void* HeapAllocBlock(std::size_t n);
// Frees p; null is ignored.
void HeapFreeBlock(void* p);

// A heap block freed when it goes out of scope; it can be handed on (moved)
// but not copied.
class HeapBuffer {
public:
    HeapBuffer() : data_(nullptr), size_(0) {}
    explicit HeapBuffer(std::size_t n) : data_(static_cast<unsigned char*>(HeapAllocBlock(n))), size_(data_ ? n : 0) {}
    ~HeapBuffer() { HeapFreeBlock(data_); }
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    HeapBuffer(HeapBuffer&& other) noexcept : data_(other.data_), size_(other.size_) {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    HeapBuffer& operator=(HeapBuffer&& other) noexcept {
        if (this != &other) {
            HeapFreeBlock(data_);
            data_ = other.data_;
            size_ = other.size_;
            other.data_ = nullptr;
            other.size_ = 0;
        }
        return *this;
    }
    unsigned char* get() const { return data_; }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }
    // Hands the block to the caller, who frees it with HeapFreeBlock.
    unsigned char* release() {
        unsigned char* p = data_;
        data_ = nullptr;
        size_ = 0;
        return p;
    }

private:
    unsigned char* data_;
    std::size_t size_;
};
