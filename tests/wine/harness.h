// The in-process test harness: starts the editor through the program's own
// start-up code, pumps its messages, records the commands that reach the main
// window, and answers dialogs and message boxes by script.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/unicode/unicode_file.h"

namespace harness {

// Deletes the settings key (and everything under it).
void ClearSettings();

// Starts the editor as the program does, with that raw command line and show
// state; false when start-up ended the program (code 255).
bool StartEditor(const char* commandLine = "lork2.exe", int showState = SW_SHOWNORMAL);
// The same with the command line as the system passes it in UTF-16.
bool StartEditor(const wchar_t* commandLine, int showState = SW_SHOWNORMAL);
// Destroys the main window (without the save prompt) and releases everything
// StartEditor created, so that the next test starts afresh.
void StopEditor();
// Processes every pending message.
void Pump();
// Sends a key press to a window as the keyboard would: WM_KEYDOWN, WM_CHAR
// where the key makes one, WM_KEYUP; the modifiers are held through the
// keyboard state while it runs.
void PressKey(HWND window, UINT vk, bool ctrl = false, bool shift = false, bool alt = false);
// Posts one key message with a repeat count of 1 and the key's scan code
// added to `flags`, then processes the messages.
void PostKeyMessage(HWND window, UINT message, UINT vk, LPARAM flags = 0);
// The flags of a key message made while Alt is down, and of a release.
constexpr LPARAM kAltContext = 1L << 29;
constexpr LPARAM kKeyReleased = (1L << 30) | (1L << 31);

// Modifier keys held down in the thread's keyboard state (as GetKeyState
// reports them); the state before comes back at Release or at the end of
// the scope. VK_CONTROL, VK_SHIFT and VK_MENU hold their left-hand keys too.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<UINT> keys = {});
    ~HeldKeys() { Release(); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    void Hold(UINT vk, bool down = true);
    void Release();

private:
    BYTE saved_[256];
    BYTE state_[256];
    bool holding_ = false;
};

// Records the identifiers of WM_COMMAND and WM_SYSCOMMAND messages reaching
// the main window while it lives.
class CommandRecorder {
public:
    CommandRecorder();
    ~CommandRecorder();
    CommandRecorder(const CommandRecorder&) = delete;
    CommandRecorder& operator=(const CommandRecorder&) = delete;
    std::vector<int> commands;    // WM_COMMAND low words
    std::vector<int> sysCommands; // WM_SYSCOMMAND wParam & 0xFFF0
    bool passOn = true;           // hand the messages on to the main window
};

// A modal dialog or message box seen by the harness.
struct SeenDialog {
    std::string caption;
    std::string text; // the static texts, joined by newlines
};

// What to do with the next dialog that opens: a function given its window,
// run from inside its modal loop.
using DialogAnswer = std::function<void(HWND dialog)>;
void AnswerNextDialog(DialogAnswer answer);
// Presses a button of the dialog (IDOK, IDYES, IDNO, IDCANCEL, or any id).
DialogAnswer PressButton(int id);
// Answers a common Open or Save dialog: picks the filter (1-based; 0 keeps
// the one shown), types the name into the file-name field and presses OK.
DialogAnswer ChooseFile(const std::string& name, int filterIndex = 0);
// The text of a common dialog's file-name field.
std::string FileDialogName(HWND dialog);
// Types text into an edit field or an editable combo box as the keyboard
// would, over whatever the field held.
void TypeInto(HWND field, const std::string& text);
// Clicks a check box of the dialog when its state is not `on` already.
void SetCheck(HWND dialog, int id, bool on);
// Posts a key press (down and up) to a window without waiting: from inside a
// dialog answer, the dialog's own loop then handles it (Escape, Enter).
void PostKey(HWND window, UINT vk);
// Answers every dialog that opens while no answer is queued: the function is
// given the dialog and returns false for one it does not know, which then
// counts as unexpected (and is cancelled). An empty function removes it.
using DialogResponder = std::function<bool(HWND dialog)>;
void SetDialogResponder(DialogResponder responder);
// How long after a dialog shows up it is answered (30 ms unless set);
// returns the delay before.
UINT SetAnswerDelay(UINT milliseconds);
// The default push button of a dialog (DM_GETDEFID), IDOK when none.
int DefaultButton(HWND dialog);
// The next dialog cannot be created: DialogBox fails as it does when the
// system refuses the window.
void RefuseNextDialog();
// The next window of this class cannot be created (a rich-edit control:
// "RICHEDIT"), after `spared` more of them have been.
void RefuseNextWindowOf(const char* className, int spared = 0);
// Forgets the answers no dialog took; returns how many there were.
int DropUnusedAnswers();
// Every dialog seen since the last call, in order; clears the record.
std::vector<SeenDialog> TakeSeenDialogs();
// Dialogs that opened with no answer queued (they were cancelled).
int UnexpectedDialogs();

// Chooses entry `index` of a dialog's combo box or list box as a user does:
// the selection moves and the dialog hears the control's notification.
void PickEntry(HWND dialog, int id, int index);
// The index of the entry with exactly this text (any letter case), or -1.
int FindEntry(HWND dialog, int id, const char* text);

// The window's pixels as a 24-bit bottom-up bitmap, as the screen shows it
// (drawn afresh first).
std::vector<unsigned char> CaptureWindow(HWND window, int& width, int& height);
// The colour at (x, y), counted from the top left, of CaptureWindow's pixels.
COLORREF PixelAt(const std::vector<unsigned char>& pixels, int width, int height, int x, int y);
// Saves the window's pixels as build/screenshots/NAME.bmp for a person to
// look at; the pixels saved come back in `pixels` (when given) with their
// size. False when the file could not be written whole.
bool SaveScreenshot(HWND window, const std::string& name, std::vector<unsigned char>* pixels = nullptr,
                    int* width = nullptr, int* height = nullptr);
// The folder of the screenshots, build/screenshots, made when missing.
std::string ScreenshotFolder();
// The bytes of a file, empty when it cannot be read.
std::basic_string<unsigned char> ReadFileBytes(const std::string& path);
// Text of code page `cp` as a file of encoding `e`, as Save writes it.
std::basic_string<unsigned char> UnicodeFileBytes(FileEncoding e, int cp, const unsigned char* text, size_t n);

// The state of a menu item (GetMenuState: MF_GRAYED, MF_CHECKED ...) as the
// user sees it: the popup holding it is opened first, which brings the
// enabled and checked marks up to date.
UINT MenuItemState(int id);

// The default value of a key under HKEY_CLASSES_ROOT; nothing when the key
// or the value is missing.
std::optional<std::string> ReadClassesDefault(const std::string& key);

// Popup menus opened (TrackPopupMenu) since the start; each is closed again
// from inside its menu loop.
int PopupMenusOpened();

} // namespace harness
