// lork2-text repair: the text garbled input most likely holds, written in a
// code page of choice, read and written block by block.
#pragma once

#include <string>
#include <vector>

// Runs "repair ARGS..." (the arguments after the command's name) to OUT
// ("" for standard output). Returns the exit status: 0, 1 for a file that
// cannot be read or written, 2 for a bad argument.
int RunRepair(const std::vector<std::string>& args, const std::string& out);
