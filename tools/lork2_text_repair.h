// lork2-text repair: the text garbled input most likely holds, written in a
// code page of choice, read and written block by block.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Where the result goes: the program's output (standard output, or OUT
// replaced only on success). Each returns 0 or the exit status to give.
struct RepairOutput {
    void* self;
    int (*open)(void* self);
    bool (*write)(void* self, const unsigned char* data, std::size_t n);
    int (*close)(void* self, bool failed);
};

// Runs "repair ARGS..." (the arguments after the command's name). Returns
// the exit status: 0, 1 for a file that cannot be read or written, 2 for a
// bad argument.
int RunRepairCommand(const std::vector<std::string>& args, const RepairOutput& output);
