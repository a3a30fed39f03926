// The program's entry point.
#include <windows.h>

#include "app/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_shell.instance = instance;
    ProgramMain();
}
