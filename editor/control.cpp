#include "editor/control.h"

EditorState g_editorState;

#include <richedit.h>

#include "base/settings.h"
#include "core/app/setting_names.h"

HWND EditorWindow() { return g_editorState.control; }

int DisplayCodePage() { return g_editorState.displayCodePage; }

bool OverwriteMode() { return g_editorState.overwrite; }

bool WordWrapOn() { return g_editorState.wrapStyle == 0; }

bool HtmlColoured() { return g_editorState.htmlColoured; }

bool ControlUndoSelected() { return g_editorState.controlUndoUsed; }

void LoadEditorSettings() {
    g_editorState.wrapStyle = ReadSetting(setting::WrapStyle) == 0 ? 0 : kWrapOffStyle;
    g_editorState.controlUndoUsed = ReadSetting(setting::ControlUndo) != 0;
}

void SetControlUndoUsed(bool used) { g_editorState.controlUndoUsed = used; }
