// Page setup and printing: the chosen printer and its settings, kept from
// dialog to dialog until exit, the page margins, and the page and print
// rectangles the preview shares.
#pragma once

#include <windows.h>

#include "core/print/page_layout_core.h"

extern HGLOBAL g_printerMode;  // DEVMODE of the printer last chosen, or none
extern HGLOBAL g_printerNames; // DEVNAMES of the printer last chosen, or none
extern PageMargins g_pageMargins;

// Reads "FldL", "FldT", "FldR", "FldB" (start-up).
void ReadPageMargins();
// Frees the two printer handles (shutdown).
void ReleasePrintState();

// A context of the chosen printer, or of the default one (whose handles are
// kept then); null when there is no printer. The caller deletes it.
HDC GetPrinterDC();
// The page and the print rectangle in twips for a printer context.
void ComputePageRects(HDC printer, RECT& page, RECT& print);

// IDM_PAGE_SETUP: the system page-setup dialog; margins and printer kept.
void PageSetup();
// IDM_PRINT: the print dialog, then the whole text, a page range or the
// selection, with copies collated or not. The main window is disabled while
// it prints; a failure of the print job is shown, a cancel is not.
void PrintDocument();

void PageSetupCommand(int id);
void PrintCommand(int id);
// The printer chosen freed and the margins back at their defaults, as in a
// new process; part of ResetProgramState.
void ResetPrintState();
