#include "search/search.h"

#include <richedit.h>

#include <new>

#include "base/globals.h"
#include "base/heap_block.h"
#include "core/app/command_ids.h"
#include "core/editor/byte_find.h"
#include "core/search/search_ids.h"
#include "core/search/search_rules.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

SearchState g_search;

namespace {

// Looking upward over the control, the first window: each look costs the
// control a walk to the position, so windows start large.
constexpr int32_t kUpwardFirstWindow = 64 * 1024;

unsigned FindFlags() {
    return (g_search.wholeWord ? kFindWholeWord : 0u) | (g_search.matchCase ? kFindMatchCase : 0u);
}

int32_t FindInEditor(int32_t first, int32_t last) {
    return FindBytes(EditorWindow(), first, last, g_search.text, g_search.textLength, FindFlags());
}

// When nothing was found, the selection goes back to where the user left it,
// and the view stays.
void PutSelectionBack(const CHARRANGE& selection) { SelectKeepingView(selection.cpMin, selection.cpMax); }

// Upward: the windows back from the bound are each read from the control
// once (every read costs it a walk to the place), the bisection inside a
// window works on the bytes read. The first window ends at the bound (the
// caret or the last match, which the user sees) and is read by selecting
// it, one walk instead of two; the match found is selected afterwards
// anyway. (Downward the same would scroll the view to the window's far end
// and back, which costs more than the walk saved.) No match when the memory
// for a window cannot be had.
int32_t FindUpwardInEditor(int32_t bound) {
    const SearchQuery query{g_search.text, g_search.textLength, FindFlags(), DisplayCodePage()};
    const CHARRANGE selection = GetSelection(EditorWindow());
    bool selected = false;
    auto read = [&](int32_t first, int32_t last, unsigned char* out) {
        if (!selected) {
            selected = true;
            const int32_t n = ReadRangeBySelecting(EditorWindow(), first, last, out);
            if (n >= 0) return n;
        }
        return GetRangeBytes(EditorWindow(), first, last, out, last - first);
    };
    int32_t found = -1;
    try {
        found = FindLastBeforeByReading(read, TextLength(EditorWindow()), bound, query, kUpwardFirstWindow);
    } catch (const std::bad_alloc&) {
        found = -1;
    }
    if (found < 0 && selected) PutSelectionBack(selection);
    return found;
}

// A replace run without prompt needs no step by step: the final text is
// computed in one pass and put in as one whole-text replacement. With the
// control's own undo chosen, each replacement stays one of its undo steps.
bool ReplaceRestAtOnceApplies() {
    return g_search.replaceMode && g_search.replaceAll && !g_search.prompt && g_search.textLength > 0 &&
           !ControlUndoSelected();
}

// The rest of a replace run without prompt, with the final state the steps
// would leave: the same text, the whole-text snapshot before it, the caret
// after the last replacement, the modified flag set when anything was
// replaced, and the search position -1 of the step that found nothing more.
// False when the memory for it cannot be had (nothing has changed then).
bool ReplaceRestAtOnce() {
    const int32_t length = TextLength(EditorWindow());
    HeapBuffer text(static_cast<size_t>(length) + 2);
    if (!text) return false;
    const CHARRANGE selection = GetSelection(EditorWindow());
    const int32_t n = StreamBytesOut(EditorWindow(), false, text.get(), length + 2);
    const int32_t from = g_search.upward ? UpwardBound(g_search.position, selection.cpMin, g_search.wholeText, n)
                                         : DownwardStart(g_search.position, selection.cpMin, g_search.wholeText);
    const SearchQuery query{g_search.text, g_search.textLength, FindFlags(), DisplayCodePage()};
    ReplaceAllOutcome outcome;
    try {
        outcome = ReplaceAllInOnePass(text.get(), n, query, g_search.replacement, g_search.replacementLength,
                                      g_search.upward, from);
    } catch (const std::bad_alloc&) {
        return false;
    }
    g_search.position = kNoSearchPosition;
    if (outcome.replaced == 0) return true;
    // No control for the new text: the message was shown, the text stands.
    // The search worked on `text` in place: the editor reads the old text for undo.
    if (!ReplaceWholeText({outcome.text.data(), static_cast<int32_t>(outcome.text.size()), DisplayCodePage(), nullptr,
                           0, selection, {outcome.caret, outcome.caret}}))
        return true;
    ScrollCaretIntoView();
    return true;
}

// The "Заменить?" prompt over the selected match. The control draws no
// selection without the focus unless told to keep it (Wine ignores
// EM_HIDESELECTION for a control without the focus), so it keeps the
// selection shown while the prompt is up.
INT_PTR AskReplace() {
    ShowSelectionAlways(true);
    const INT_PTR answer =
        DialogBoxParamA(g_shell.instance, MAKEINTRESOURCEA(IDD_REPLACE_PROMPT), g_shell.mainWindow, ReplacePromptProc, 0);
    ShowSelectionAlways(false);
    return answer;
}

} // namespace

void ReplaceRun() {
    if (ReplaceRestAtOnceApplies() && ReplaceRestAtOnce()) return;
    BeginChangeRun();
    while (SearchStep() && g_search.replaceAll) {
        if (ReplaceRestAtOnceApplies() && ReplaceRestAtOnce()) return;
    }
}

bool SearchStep() {
    if (!EditorWindow() || g_search.textLength <= 0) return false;
    const int32_t L = g_search.textLength;
    const CHARRANGE selection = GetSelection(EditorWindow());
    if (!g_search.upward) {
        const int32_t start = DownwardStart(g_search.position, selection.cpMin, g_search.wholeText);
        g_search.position = FindInEditor(start, TextLength(EditorWindow()));
    } else {
        const int32_t bound =
            UpwardBound(g_search.position, selection.cpMin, g_search.wholeText, TextLength(EditorWindow()));
        g_search.position = FindUpwardInEditor(bound);
    }
    if (g_search.position < 0) return false;
    SetSelection(EditorWindow(), g_search.position, g_search.position + L);
    ScrollCaretIntoView();
    if (g_search.replaceMode) {
        if (!g_search.prompt) {
            ReplaceMatch();
            return true;
        }
        const INT_PTR answer = AskReplace();
        switch (answer) {
        case IDC_ANSWER_REPLACE:
            ReplaceMatch();
            return true;
        case IDC_ANSWER_ALL:
            g_search.prompt = false;
            g_search.replaceAll = true;
            ReplaceMatch();
            return true;
        case IDC_ANSWER_STOP:
            g_search.replaceAll = false;
            return true;
        case IDC_ANSWER_SKIP:
            break;
        default:
            // The prompt could not be shown: the run ends here rather than
            // meeting the same match again and again.
            return false;
        }
    }
    if (!g_search.upward) g_search.position += L;
    return true;
}

void ReplaceMatch() {
    if (!EditorWindow()) return;
    ReplaceSelectionInRun(g_search.replacement, g_search.replacementLength);
    if (!g_search.upward) g_search.position += g_search.replacementLength;
}

INT_PTR CALLBACK ReplacePromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    // The match stays visible while the prompt has the focus.
    ShowSelectionAlways(true);
    switch (message) {
    case WM_INITDIALOG:
        SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_shell.smallIcon));
        return TRUE;
    case WM_COMMAND:
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

void ResetSearchState() { g_search = SearchState{}; }
