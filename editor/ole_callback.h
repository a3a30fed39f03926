// The minimal OLE callback the rich-edit control is given.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <richole.h>

// One static object; the control never frees it.
IRichEditOleCallback* EditorOleCallback();
