// Whether the current document can be opened with its associated program.
#pragma once

#include <string_view>

// Not for the untitled document nor for names ending in ".txt" (any case);
// a name of four characters or fewer counts as not ending in it.
bool CanRunDocument(std::string_view fileName, std::string_view untitledName);
