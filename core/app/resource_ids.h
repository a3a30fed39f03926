/* Numbers of the program's own resources that are not dialogs or commands,
   shared by the resource script and the code: the shortcuts, the icons and
   the toolbar images. */
#ifndef LORK2_APP_RESOURCE_IDS_H
#define LORK2_APP_RESOURCE_IDS_H

/* The shortcuts, translated by the editor control's window procedure. */
#define IDR_ACCELERATORS 1

/* The program's icon, large and small, and the HTML document's. */
#define IDI_PROGRAM_LARGE 1
#define IDI_PROGRAM_SMALL 2
#define IDI_HTML_DOCUMENT 3

/* The toolbar's own images, ten in a row: 16 by 16 and 24 by 24. */
#define IDB_TOOLBAR_SMALL 1
#define IDB_TOOLBAR_LARGE 2

/* The common controls' own strips of standard images, small and large
   (resources of comctl32.dll, not of the program). */
#define IDB_COMCTL_STANDARD_SMALL 120
#define IDB_COMCTL_STANDARD_LARGE 121

#endif
