#include "core/app/shortcut_text.h"

#include <gtest/gtest.h>

#include "core/app/command_ids.h"

namespace {

constexpr uint8_t V = kAcceleratorVirtualKey;
constexpr uint8_t C = kAcceleratorControl;

TEST(ShortcutText, MenusShowTheKeyAUserLooksForAndThePairsOfTheTwoKeyCommands) {
    const AcceleratorKey table[] = {
        {V | kAcceleratorAlt, 0x08, IDM_UNDO},        // Alt+Backspace
        {V | kAcceleratorShift, 0x2E, IDM_CUT},       // Shift+Delete
        {V | C, 'F', IDM_FIND},
        {V | C, 0xBB, IDM_SIZE_UP},                   // the plus key
        {V | C, 0x6B, IDM_SIZE_UP},                   // the keypad's
        {V | C, 'D', IDM_TWO_KEY_OEM},
        {V | C, 'K', IDM_TWO_KEY_KOI8},
        {V | kAcceleratorAlt, 0x71, IDM_SHOW_KOI8},   // Alt+F2
        {V, 0x76, IDM_FIND},                          // F7
        {V | C | kAcceleratorShift | kAcceleratorAlt, 0x22, IDM_SAVE_AS},
        {V | C, 0x2D, IDM_COPY},                      // Ctrl+Insert
        {V | C, 'W', IDM_TWO_KEY_ANSI},
        {V | C, 'X', IDM_CUT},
        {V | C, 'Z', IDM_UNDO},
        {V, 0xFF, IDM_COPY},                          // a key without a name
        {C, 3, IDM_PRINT},                            // the character Ctrl+C
    };
    struct Case {
        int command;
        int display;
        const char* shown;
    };
    const Case cases[] = {
        {IDM_FIND, 0, "F7"},                 // the function key before Ctrl+F
        {IDM_UNDO, 0, "Ctrl+Z"},             // a letter before Alt+Backspace
        {IDM_CUT, 0, "Ctrl+X"},
        {IDM_COPY, 0, "Ctrl+Ins"},           // the key without a name is passed over
        {IDM_SIZE_UP, 0, "Ctrl++"},          // the first of two equals
        {IDM_SAVE_AS, 0, "Ctrl+Alt+Shift+PgDn"},
        {IDM_PRINT, 0, "Ctrl+C"},
        {IDM_SHOW_KOI8, 1, "Alt+F2"},        // its own key before the pair
        {IDM_SHOW_OEM, 0, "Ctrl+D, Ctrl+D"}, // none of its own: the pair
        {IDM_TO_KOI8, 0, "Ctrl+W, Ctrl+K"},  // from the display code page
        {IDM_TO_KOI8, 1, "Ctrl+D, Ctrl+K"},
        {IDM_TO_ANSI, 2, "Ctrl+K, Ctrl+W"},
        {IDM_TO_OEM, 1, ""},                 // the pair would only switch the display
        {IDM_TO_OEM, 3, ""},
        {IDM_TO_FIDO, 0, ""},
        {IDM_REPLACE, 0, ""},
        {IDM_TWO_KEY_ANSI, 0, "Ctrl+W"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortcutText(table, c.command, c.display), c.shown) << c.command << " on " << c.display;

    // A table without the two-key commands gives no pairs.
    EXPECT_EQ(ShortcutText(std::span(table, 5), IDM_TO_KOI8, 0), "");
    EXPECT_EQ(KeyText({V, 0x60, 0}), "Num 0");
    EXPECT_EQ(KeyText({V | C, 0xDC, 0}), "Ctrl+\\");
    EXPECT_EQ(KeyText({kAcceleratorAlt, 'q', 0}), "Alt+q");
    EXPECT_EQ(KeyText({0, 0x80, 0}), "");
}

} // namespace
