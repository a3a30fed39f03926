// Resource and control identifiers of the print preview, shared by the
// resource script, the code and the tests.
#pragma once

#define IDD_PREVIEW 7
#define IDC_PREVIEW_FIRST 101
#define IDC_PREVIEW_NEXT 102
#define IDC_PREVIEW_PAGE 104
#define IDC_ZOOM_IN_CURSOR 1
#define IDC_ZOOM_OUT_CURSOR 2
