#include "core/app/shortcut_text.h"

#include "core/app/command_ids.h"

namespace {

// Virtual-key codes of the window system.
enum : uint16_t {
    kKeyBack = 0x08, kKeyTab = 0x09, kKeyReturn = 0x0D, kKeyEscape = 0x1B, kKeySpace = 0x20,
    kKeyPageUp = 0x21, kKeyPageDown, kKeyEnd, kKeyHome, kKeyLeft, kKeyUp, kKeyRight, kKeyDown,
    kKeyInsert = 0x2D, kKeyDelete = 0x2E,
    kKeyNumpad0 = 0x60, kKeyNumpad9 = 0x69, kKeyMultiply = 0x6A, kKeyAdd = 0x6B, kKeySubtract = 0x6D,
    kKeyDecimal = 0x6E, kKeyDivide = 0x6F, kKeyF1 = 0x70, kKeyF24 = 0x87,
};

struct NamedKey {
    uint16_t key;
    const char* name;
};

constexpr NamedKey kNamedKeys[] = {
    {kKeyBack, "Backspace"}, {kKeyTab, "Tab"},      {kKeyReturn, "Enter"},    {kKeyEscape, "Esc"},
    {kKeySpace, "Space"},    {kKeyPageUp, "PgUp"},  {kKeyPageDown, "PgDn"},   {kKeyEnd, "End"},
    {kKeyHome, "Home"},      {kKeyLeft, "Left"},    {kKeyUp, "Up"},           {kKeyRight, "Right"},
    {kKeyDown, "Down"},      {kKeyInsert, "Ins"},   {kKeyDelete, "Del"},      {kKeyMultiply, "Num *"},
    {kKeyAdd, "Num +"},      {kKeySubtract, "Num -"}, {kKeyDecimal, "Num ."}, {kKeyDivide, "Num /"},
};

// The punctuation keys by what they type unshifted on a US layout, except the
// plus key, which is named after its plus.
struct PunctuationKey {
    uint16_t key;
    char character;
};
constexpr PunctuationKey kPunctuationKeys[] = {
    {0xBA, ';'}, {0xBB, '+'}, {0xBC, ','}, {0xBD, '-'}, {0xBE, '.'}, {0xBF, '/'},
    {0xC0, '`'}, {0xDB, '['}, {0xDC, '\\'}, {0xDD, ']'}, {0xDE, '\''},
};

bool IsLetterOrDigit(uint16_t key) { return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'); }

bool IsPunctuation(uint16_t key) {
    for (const PunctuationKey& p : kPunctuationKeys)
        if (p.key == key) return true;
    return false;
}

// The key alone, without modifiers.
std::string BareKeyName(const AcceleratorKey& a) {
    const uint16_t key = a.key;
    if (!(a.flags & kAcceleratorVirtualKey)) {
        // A character: a control character is typed with Ctrl.
        if (key > 0 && key < 0x20) return std::string("Ctrl+") + static_cast<char>('@' + key);
        if (key >= 0x20 && key < 0x7F) return std::string(1, static_cast<char>(key));
        return {};
    }
    if (IsLetterOrDigit(key)) return std::string(1, static_cast<char>(key));
    // Appended rather than prefixed: GCC 12 warns of a false overlap when a
    // literal is put before a temporary string (its bug 105651).
    if (key >= kKeyF1 && key <= kKeyF24) return std::string("F").append(std::to_string(key - kKeyF1 + 1));
    if (key >= kKeyNumpad0 && key <= kKeyNumpad9) return std::string("Num ").append(std::to_string(key - kKeyNumpad0));
    for (const PunctuationKey& p : kPunctuationKeys)
        if (p.key == key) return std::string(1, p.character);
    for (const NamedKey& n : kNamedKeys)
        if (n.key == key) return n.name;
    return {};
}

// Lower is shown first.
int Preference(const AcceleratorKey& a) {
    if (!(a.flags & kAcceleratorVirtualKey)) return 1;
    if (a.key >= kKeyF1 && a.key <= kKeyF24) return 0;
    if (IsLetterOrDigit(a.key) || IsPunctuation(a.key)) return 1;
    return 2;
}

// The key of a command that the menu shows, or nullptr.
const AcceleratorKey* PreferredKey(std::span<const AcceleratorKey> table, int command) {
    const AcceleratorKey* best = nullptr;
    for (const AcceleratorKey& a : table) {
        if (a.command != command || KeyText(a).empty()) continue;
        if (!best || Preference(a) < Preference(*best)) best = &a;
    }
    return best;
}

// The pair of two-key code-page commands that goes from code page `source`
// to `target` (the same twice: shows `target`), or empty.
std::string TwoKeyText(std::span<const AcceleratorKey> table, int source, int target) {
    const AcceleratorKey* first = PreferredKey(table, IDM_TWO_KEY_ANSI + source);
    const AcceleratorKey* second = PreferredKey(table, IDM_TWO_KEY_ANSI + target);
    if (!first || !second) return {};
    return KeyText(*first) + ", " + KeyText(*second);
}

} // namespace

std::string KeyText(const AcceleratorKey& key) {
    std::string bare = BareKeyName(key);
    if (bare.empty()) return {};
    std::string text;
    if (key.flags & kAcceleratorVirtualKey) {
        if (key.flags & kAcceleratorControl) text += "Ctrl+";
        if (key.flags & kAcceleratorAlt) text += "Alt+";
        if (key.flags & kAcceleratorShift) text += "Shift+";
    } else if (key.flags & kAcceleratorAlt) {
        // Without FVIRTKEY only Alt applies to a character.
        text += "Alt+";
    }
    return text + bare;
}

std::string ShortcutText(std::span<const AcceleratorKey> table, int command, int displayCodePage) {
    if (const AcceleratorKey* key = PreferredKey(table, command)) return KeyText(*key);
    if (displayCodePage < 0 || displayCodePage > 2) return {};
    if (command >= IDM_SHOW_ANSI && command <= IDM_SHOW_KOI8)
        return TwoKeyText(table, command - IDM_SHOW_ANSI, command - IDM_SHOW_ANSI);
    // The menu converts from the display code page; so does the pair that
    // starts with it. Into the display code page itself the pair only switches.
    if (command >= IDM_TO_ANSI && command <= IDM_TO_KOI8 && command - IDM_TO_ANSI != displayCodePage)
        return TwoKeyText(table, displayCodePage, command - IDM_TO_ANSI);
    return {};
}
