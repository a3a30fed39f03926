// The process-wide records of the shell and the document.
#include "base/globals.h"

Shell g_shell;
Document g_document;

const char kMainClassName[] = "LORK2";
const char kMarkerClassName[] = "Lork2 - RuleZ";
const char kUntitledName[] = "БезИмени";
