// The editor's state: one record, written only by the files of editor/.
// Other folders read it through the functions of editor/editor.h and change
// it only through the operations declared there.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr DWORD kWrapOffStyle = WS_HSCROLL | ES_AUTOHSCROLL; // 0x100080

struct EditorState {
    HWND control = nullptr;           // the rich-edit control; 0 while absent
    WNDPROC previousProc = nullptr;   // the control's own procedure
    DWORD wrapStyle = kWrapOffStyle;  // 0 = word wrap on; kWrapOffStyle = off
    bool focus = false;               // the main window hands the focus on to the editor
    bool overwrite = false;           // mirrors the control's Insert/Overwrite toggle
    int displayCodePage = 0;          // 0 = 1251, 1 = 866, 2 = KOI8-R: how the control's text decodes
    int textCodePage = 0;             // how the text in the control now was decoded (the display code
                                      // page may name the next whole text's already)
    bool htmlColoured = false;        // the tags are coloured (cleared when the display is applied again)
    bool controlUndoUsed = false;     // setting "NO": the control's own undo instead of the history
    // The document is a Unicode document: its characters are in the
    // control as they are, foreign units among them, read as stand-ins
    // (core/unicode/foreign_units.h). `unicodeText` names the next whole
    // text's already while a new document goes in, as displayCodePage does.
    bool unicodeText = false;
    bool textUnicode = false;
    int64_t foreignChars = 0;         // in a Unicode document, as last counted
    bool foreignCountDue = false;     // the text changed since
    bool foreignCountKnown = false;   // an edit under way says how the count changes
    // What Enter inserts: decided from the document's line breaks at load
    // (lone LF when every break is one), and again while it has none yet.
    enum class LineEnds : unsigned char { Undecided, CrLf, Lf } lineEnds = LineEnds::Undecided;
};

extern EditorState g_editorState;

// The line ends n bytes of a document decide: CR LF when one of them is a
// CR, LF when there are line feeds and no CR, undecided without either.
EditorState::LineEnds LineEndsOf(const unsigned char* bytes, int32_t n);
// What Enter inserts now ("\r\n" or "\n", *n bytes); an undecided document
// is looked at again first.
const unsigned char* EnterLineBreak(int32_t* n);

