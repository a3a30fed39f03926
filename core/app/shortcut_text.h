// The keys of the accelerator table as the menus show them at the right of
// an item: "Ctrl+O", "F7", "Shift+Del", and for the two-key code-page
// commands the pair "Ctrl+W, Ctrl+K". The menus read the loaded table, so an
// item and its key never disagree.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// One row of an accelerator table, with the flags and key codes of the
// window system (FVIRTKEY, FSHIFT, FCONTROL, FALT; virtual-key codes).
struct AcceleratorKey {
    uint8_t flags;
    uint16_t key;
    uint16_t command;
};
constexpr uint8_t kAcceleratorVirtualKey = 0x01;
constexpr uint8_t kAcceleratorShift = 0x04;
constexpr uint8_t kAcceleratorControl = 0x08;
constexpr uint8_t kAcceleratorAlt = 0x10;

// The name of one key with its modifiers, Ctrl, Alt and Shift in that order:
// "Ctrl+F2", "Alt+Backspace", "Ctrl++", "Num -". Empty for a key that has no
// name to show.
std::string KeyText(const AcceleratorKey& key);

// What the menu item of a command shows as its shortcut, empty for none.
// Of several keys of the command the item shows a function key first, then a
// key of a character (a letter, a digit, a punctuation key), then any other,
// the earliest in the table among equals. An item with no key of its own that
// a pair of the two-key code-page commands does (the display code pages, and
// the conversions from the display code page `displayCodePage`, 0-2, into
// another) shows that pair.
std::string ShortcutText(std::span<const AcceleratorKey> table, int command, int displayCodePage);
