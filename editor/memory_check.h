// Refusing a text the editor control cannot hold before it goes in: the
// control's need (core/editor/memory_need.h) against the memory the system
// can give the process now.
#pragma once

#include <cstdint>

// The memory available now: the smaller of the free physical memory and
// the free address space (which binds the 32-bit program).
uint64_t AvailableMemory();
// Replaces the reading of the available memory (tests simulate a small
// machine); nullptr restores the system's.
using AvailableMemoryReader = uint64_t (*)();
void SetAvailableMemoryReader(AvailableMemoryReader reader);

// True when n bytes, shown in display code page `codePage`, can go into the
// control, holding `extra` bytes besides and dropping `dropped` characters of
// the control's text first. Otherwise tells the user how much the text needs
// and how much there is, and returns false. `what` begins the message: the
// file's name when `file` is true ("NAME: для этого файла нужно ..."), else
// what is being done ("Вставка: нужно ...").
bool MemoryAdmits(const char* what, bool file, const unsigned char* bytes, int32_t n, int codePage, int64_t extra,
                  int32_t dropped);
