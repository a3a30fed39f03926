// The editor: the rich-edit control that holds the document's bytes, and
// what it keeps beside them (the display code page, the modified flag,
// overwrite mode, word wrap, the undo history). This header is what it
// promises the rest of the program: the state to read, and the operations
// that change it, each doing its whole job. Only editor/ changes that state;
// no other folder sends the control a message that changes its text or its
// state.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <functional>

#include "core/unicode/foreign_units.h"

// --- What the editor holds ---

// The control, to read from (text layer reads, line queries); 0 while there
// is none. Any operation below may put another control in its place: ask
// again after one rather than keep the handle.
HWND EditorWindow();
// The display code page: 0 = 1251, 1 = 866, 2 = KOI8-R.
int DisplayCodePage();
bool DocumentModified();
// There is a document: in the control, or, when a whole-text change and the
// putting back of the old text both failed for want of memory, in the
// editor's memory with no control (EditorWindow() is 0 then). It is saved
// from there; the next document put in, or a display switch, shows it again.
bool HasDocument();
// The document's length in bytes, and its bytes (at most `capacity`; the
// number written), from the control or the editor's memory.
int32_t DocumentLength();
// With `foreign`, a Unicode document's foreign units are appended to it.
int32_t CopyDocumentBytes(unsigned char* buffer, int32_t capacity, ForeignUnits* foreign = nullptr);
// The document is a Unicode document: its characters are in the control as
// they are, foreign units among them (core/unicode/foreign_units.h).
bool UnicodeDocument();
bool OverwriteMode();
bool WordWrapOn();
// The HTML tags are shown coloured (until the display is applied again).
bool HtmlColoured();
// The control's own undo serves instead of the history (setting "NO").
bool ControlUndoSelected();
bool UndoHistoryEmpty();
// Nothing that undo took back is waiting to be done again.
bool RedoHistoryEmpty();
// Forgets every undo step, and every step to redo.
void ClearUndoHistory();

// Reads word wrap and the choice of undo from the settings (at start-up).
void LoadEditorSettings();
// The options dialog's choice of the control's own undo ("NO").
void SetControlUndoUsed(bool used);

// --- Operations on the document's text ---

// A new document: n bytes shown in `codePage`, the undo history empty,
// unmodified, caret at 0; with `unwrapped` in a control without word wrap
// (the setting is not changed). A long text reports its progress, which may
// stop it (returning false). False when it was stopped or no control could
// be made for it (the error shown): the old document is kept. A Unicode
// document comes with its foreign units (`unicode`, maybe none), which
// its bytes' stand-ins take in order.
using LoadProgress = bool (*)(int32_t done, int32_t total);
bool PutNewDocument(const unsigned char* bytes, int32_t n, int codePage, LoadProgress progress = nullptr,
                    bool unwrapped = false, const ForeignUnits* unicode = nullptr);

// The whole text replaced by n bytes shown in `codePage`, as one undo step
// that brings back `old` (the current text, oldLength bytes, as the caller
// read it; null: the editor reads it), the selection `before` and the
// display code page. Modified
// afterwards, [select) selected. False when a new control or the undo step
// cannot be had: the system's error is shown and nothing has changed.
struct WholeTextChange {
    const unsigned char* bytes;
    int32_t n;
    int codePage;
    const unsigned char* old;
    int32_t oldLength;
    CHARRANGE before;
    CHARRANGE select;
    LoadProgress progress = nullptr; // may stop the change (nothing changes then)
    // A Unicode document's units for the stand-ins of `bytes`; without
    // them the stand-ins take those of the text replaced, in order.
    const ForeignUnits* foreign = nullptr;
};
bool ReplaceWholeText(const WholeTextChange& change);

// [start, end) replaced by n bytes as one undo step, modified; afterwards
// the new bytes are selected, or with `caretAtStart` the caret stands at
// `start`.
void ReplaceRange(int32_t start, int32_t end, const unsigned char* bytes, int32_t n, bool caretAtStart = false,
                  const ForeignUnits* foreign = nullptr);
// The selection replaced by n bytes as one undo step, caret after them.
void ReplaceSelection(const unsigned char* bytes, int32_t n);
// The same as one undo step that brings back the whole text as it was
// (a file inserted).
void InsertOverSelection(const unsigned char* bytes, int32_t n, const ForeignUnits* foreign = nullptr);

// A run of changes that undo takes back as one step (a replace run): the
// whole text is kept for undo first, then each replacement of the selection
// goes in unrecorded, caret after it.
void BeginChangeRun();
void ReplaceSelectionInRun(const unsigned char* bytes, int32_t n);

// Makes `codePage` (0..2) the display code page: the same bytes shown
// through it, selection, view and modified flag kept.
void SetDisplayCodePage(int codePage);
void SetDocumentModified(bool modified);

// The plain text an RTF stands for, in the display code page, read by a
// control of its own (the editor's text is not touched); an empty vector
// with `ok` false when no control or memory could be had.
struct PlainText {
    unsigned char* bytes = nullptr; // a heap block, freed by FreePlainText
    int32_t n = 0;
    bool ok = false;
};
PlainText PlainTextOfRtf(const unsigned char* rtf, int32_t n);
void FreePlainText(PlainText& text);

// --- The view ---

// Redrawing off; returns the first visible line, for ThawView.
int32_t FreezeView();
// Redrawing on again; a view that moved down past `firstLine` comes back.
void ThawView(int32_t firstLine);
// Selects [start, end) without moving the view.
void SelectKeepingView(int32_t start, int32_t end);
void ScrollCaretIntoView();
// The selection stays drawn while a dialog over the editor has the focus.
void ShowSelectionAlways(bool on);
// The background and the text colour of the whole text (the modified flag
// stays: colour is no change to the bytes).
void SetBackgroundColour(COLORREF colour);
void SetTextColour(COLORREF colour);

// --- The control's window ---

constexpr UINT_PTR kAutoScrollTimer = 1976;

// For the message loop, before it takes the next message: in a Unicode
// document a character typed into the editor above ASCII is taken from the
// queue as Unicode and typed as it is (the ANSI message would have turned
// what the code page lacks into "?"); false when there is none.
bool TakeTypedUnicodeCharacter();

// A Unicode document's foreign characters: counted when it goes in, and
// again a moment after its text changed (the control tells of each change),
// for the status bar.
constexpr UINT_PTR kForeignCountTimer = 1977;
void NoteTextChanged();
// A key's edit, whose change of the count its handler knows: the count
// follows it without reading the text again.
void CountedEdit(int64_t change, const std::function<void()>& edit);
void CountForeignAgain();

// Posted by the editor to the main window after a mouse action in the text,
// so that the caret field follows the click.
constexpr UINT kEditorClicked = WM_USER + 1;

// Creates the control shown, focused and subclassed; EditorWindow() stays 0
// when the window cannot be created.
void CreateEditorControl();
// Destroys the control and empties the undo history (the program ends).
void DestroyEditorControl();
// IDM_WORD_WRAP: flips word wrap by putting the text in a control of the
// other style, keeping text, selection and modified flag; when that cannot
// be done the error is shown and nothing changes.
void ToggleWordWrap();
void WordWrapCommand(int id);
// IDM_SHOW_ANSI, IDM_SHOW_OEM, IDM_SHOW_KOI8.
void DisplayCodePageCommand(int id);
// The focus goes to the editor when the main window gets it (unless a
// whole-text operation holds it elsewhere for the moment).
void FocusEditorIfOwed();
LRESULT CALLBACK EditorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Files dropped on the editor go to the document code through this handler,
// set at start-up; it returns true when it took the drop (and finished it).
using DroppedFileHandler = bool (*)(HDROP drop);
void SetDroppedFileHandler(DroppedFileHandler handler);
// A fresh press of Ctrl (not its auto-repeat) is told to this handler, set at
// start-up: the two-key code-page commands forget a pending first key.
using FreshCtrlHandler = void (*)();
void SetFreshCtrlHandler(FreshCtrlHandler handler);
// Returns the editor floor's state to what a new process starts with: the
// control's handle and flags, the display code page (ANSI), the undo history
// (emptied), HTML colouring, overwrite mode, the bars' handles, the handlers
// set at start-up. The windows must be gone already. Part of ResetProgramState.
void ResetEditorState();
// One step of middle-button scrolling (timer 1976 of the main window).
void AutoScrollStep();
