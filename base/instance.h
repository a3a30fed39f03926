// The single-instance protocol between running copies of the program.
#pragma once

// The result of the last search.
extern bool g_instanceFound;

// True when another instance holds the file; that window has been brought
// forward (restored first when minimised).
bool FindRunningInstance(const char* path);
// Forgets the result of the last search (part of ResetProgramState).
void ForgetRunningInstance();
