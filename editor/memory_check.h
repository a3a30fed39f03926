// Refusing a text the editor control cannot hold, or would take too long to
// lay out, before it goes in: the control's need of memory
// (core/editor/memory_need.h) against the memory a document may take now,
// and its time (core/editor/time_need.h) against what a user waits.
#pragma once

#include <cstdint>

// The memory a document may take now: the smallest of the free physical
// memory, half of all physical memory (the machine stays usable) and the
// free address space (which binds the 32-bit program).
uint64_t AvailableMemory();
// Replaces the reading of the available memory (tests simulate a small
// machine); nullptr restores the system's.
using AvailableMemoryReader = uint64_t (*)();
void SetAvailableMemoryReader(AvailableMemoryReader reader);
// How much slower than the measured one this machine is taken to be (tests
// simulate a slow machine); 1 restores it.
void SetMachineSlowness(double slowness);

// True when n bytes, shown in display code page `codePage`, can go into the
// control, holding `extra` bytes besides and dropping `dropped` characters of
// the control's text first, within the memory and the time the editor
// allows. Otherwise tells the user why (the longest line and its cost, the
// whole time and memory, or the memory needed and available) and returns
// false. `what` begins the message: the file's name when `file` is true,
// else what is being done ("Вставка: ..."). A text too slow with word wrap
// but not without is admitted when `unwrap` is given (*unwrap set true: the
// caller puts it in a control without word wrap), else refused with that
// said.
bool ControlAdmits(const char* what, bool file, const unsigned char* bytes, int32_t n, int codePage, int64_t extra,
                   int32_t dropped, bool* unwrap = nullptr);
// The same for the whole text shown with word wrap on or off as `wordWrap`
// says (the word wrap command).
bool ControlAdmitsWrapped(const char* what, const unsigned char* bytes, int32_t n, int codePage, bool wordWrap);
