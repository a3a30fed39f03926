#include "editor/ole_callback.h"

#include "editor/undo.h"

namespace {

// The interface the control requires, with no counting and nothing to free:
// only a drop into the control does anything (a whole-text snapshot first).
struct EditorCallback final : IRichEditOleCallback {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetNewStorage(LPSTORAGE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*,
                                                LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ShowContainerUI(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryInsertObject(LPCLSID, LPSTORAGE, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteObject(LPOLEOBJECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE QueryAcceptData(LPDATAOBJECT, CLIPFORMAT* format, DWORD operation, BOOL,
                                              HGLOBAL) override {
        if (operation == RECO_DROP) {
            if (format) *format = CF_TEXT;
            RecordUndo(UndoRequest::Snapshot, 0);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) override {
        if (!data) return E_POINTER;
        *data = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) override {
        if (menu) *menu = nullptr;
        return E_NOTIMPL;
    }
};

EditorCallback g_callback;

} // namespace

IRichEditOleCallback* EditorOleCallback() { return &g_callback; }
