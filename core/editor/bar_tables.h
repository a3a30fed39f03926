// The toolbar and the status bar as data: the buttons offered for
// customising and the default set, the status bar's fields, the caret field's
// text and the bookkeeping that keeps it cheap on long documents, and which
// image an owner-drawn menu item shows. No window is needed for any of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// --- Toolbar ---

// Own images follow the 15 standard images in the toolbar's image list.
constexpr int kStandardImageCount = 15;
constexpr int kOwnImageCount = 10;
constexpr int kOwnImageFirst = kStandardImageCount;
// Redo has an own image, the last of them (the menus show it too).
constexpr int kRedoImage = kOwnImageFirst + 9;

struct ToolbarItem {
    int command;
    int image; // toolbar image: standard 0..14, own 15..24
    bool check; // a check button (word wrap) rather than a push button
};

// The 33 buttons the customise dialog offers, in catalogue order.
std::span<const ToolbarItem> ToolbarCatalogue();
// The catalogue item of a command, or nullptr.
const ToolbarItem* ToolbarItemOfCommand(int command);
// The buttons of a toolbar that has no saved layout, left to right; 0 is a
// separator. A button's image is its command - 1.
std::span<const int> DefaultToolbarButtons();

// --- Status bar ---

enum StatusField { kCaretField = 0, kKeyboardField = 1, kCodePageField = 2, kModeField = 3, kPathField = 4 };
constexpr int kStatusFieldCount = 5;
// The right edges of the fields in pixels at 96 dots per inch; the last field
// runs to the end. The code-page field has room for a Unicode file's
// encoding beside the code page ("UTF-16 LE · ANSI (1251)").
constexpr int kStatusFieldEdges[kStatusFieldCount] = {95, 125, 290, 360, -1};
// The edges at a window's dots per inch, rounded to the nearest pixel: the
// fields grow with the text they hold. 96 (and anything below 1) gives the
// edges above.
void StatusFieldEdgesAt(int dpi, int edges[kStatusFieldCount]);

// The 16-pixel images of the menus, the toolbar and the code-page field are
// shown at twice their size, pixel for pixel, from 144 dots per inch on.
int ImageScaleAt(int dpi);

// The caret field's text, "%4u:%u" (column first, right-aligned in four
// places), written into `out` and always NUL-terminated when `size` > 0;
// returns the length written.
size_t FormatCaretField(uint32_t column, uint32_t line, char* out, size_t size);
// The code-page field's name of a display code page: "ANSI (1251)",
// "OEM (866)", "KOI8 R" (empty for any other number).
const char* CodePageFieldName(int codePage);
// The mode field: "Вставка" while typing inserts, "Замена" while it overwrites.
const char* ModeFieldText(bool overwrite);
// The keyboard field shows the first two characters of the language's
// abbreviation, upper-cased (ASCII): "RUS" -> "RU". `out` holds 3 bytes.
void KeyboardFieldText(std::string_view abbreviation, char out[3]);

// The questions the caret field asks the editor control. Rows are the
// control's lines (wrapped rows when word wrap is on).
struct CaretQueries {
    int32_t (*rowCount)();             // cheap
    int32_t (*caretRowStart)();        // first character of the caret's row; cheap
    int32_t (*rowOfPosition)(int32_t); // walks the text from its start
    int32_t (*rowStart)(int32_t row);  // walks the text from its start
};

// What the caret field last showed: the selection it was written for (-1:
// none, the next update writes) and the row of the selection's start.
struct CaretFieldCache {
    int32_t start = -1;
    int32_t end = -1;
    bool rowKnown = false;
    int32_t row = 0;
    int32_t rowStart = 0;
    int32_t rowCount = 0;
};

struct CaretPosition {
    uint32_t column; // 1-based
    uint32_t line;   // 1-based
};

// Forgets what was shown: the next update writes the field and finds the row
// by walking the text.
void ResetCaretFieldCache(CaretFieldCache& cache);
// Whether the field must be rewritten for the selection (start, end) and, if
// so, where its start lies. A selection equal to the one shown needs nothing.
// The row is found by walking the text unless the caret (an empty selection)
// is still on the row it was on last time, with the same row start and the
// same number of rows: edits made from the keyboard happen at the caret, so
// the rows before it are then the same. Anything else that edits the text
// (commands, a new control, a new layout) resets the cache.
bool UpdateCaretFieldCache(CaretFieldCache& cache, int32_t start, int32_t end, const CaretQueries& queries,
                           CaretPosition& position);

// --- Menu images ---

enum class MenuIcon { None, Program, Html };
// The icon of a recent-file item by its name's extension, without case:
// ".htm", ".html", ".shtml" the HTML document icon, ".txt" the program's.
MenuIcon RecentFileIcon(std::string_view name);
// The icon of a command item: "&О программе" the program's, the two web
// links the HTML document icon, recent files by extension.
MenuIcon CommandIcon(int id, std::string_view text);

enum class MenuImageKind { None, Icon, Standard, Own, CheckBox };
struct MenuImage {
    bool box;           // an 18-pixel image box is drawn at the left
    MenuImageKind kind; // what is drawn there
    int index;          // the image within its 16-pixel strip
};
// The image of an owner-drawn item. Greyed items show none; an item with an
// icon shows it; commands below IDM_PAGE_SETUP show their toolbar image in a
// box, the display code pages (IDM_SHOW_ANSI to IDM_SHOW_KOI8) only the one
// that is checked; IDM_WORD_WRAP shows a check box.
MenuImage MenuItemImage(int id, bool checked, bool greyed, MenuIcon icon);
