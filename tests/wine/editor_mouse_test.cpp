// The mouse in the editor: the right-button menu, middle-button scrolling,
// and the OLE callback the control is given.
#include <richole.h>

#include "editor/ole_callback.h"
#include "tests/wine/editor_fixture.h"

#include "editor/editor.h"

namespace {

class EditorMouse : public EditorTest {};

TEST_F(EditorMouse, RightButtonOpensTheEditMenuOnlyWithoutModifiers) {
    const int before = harness::PopupMenusOpened();
    SendMessageA(EditorWindow(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    harness::Pump();
    EXPECT_EQ(harness::PopupMenusOpened(), before + 1);
    SendMessageA(EditorWindow(), WM_RBUTTONUP, MK_RBUTTON, MAKELPARAM(10, 10));
    harness::Pump();
    EXPECT_EQ(harness::PopupMenusOpened(), before + 2);
    SendMessageA(EditorWindow(), WM_RBUTTONUP, MK_SHIFT, MAKELPARAM(10, 10));
    SendMessageA(EditorWindow(), WM_RBUTTONUP, MK_CONTROL, MAKELPARAM(10, 10));
    harness::Pump();
    EXPECT_EQ(harness::PopupMenusOpened(), before + 2);
}

// Enough lines to scroll through.
Bytes ManyLines(int n) {
    Bytes text;
    for (int i = 0; i < n; ++i) {
        text += B("line ");
        text += static_cast<unsigned char>('0' + i % 10);
        text += B("\r\n");
    }
    return text;
}

LRESULT FirstVisibleLine() { return SendMessageA(EditorWindow(), EM_GETFIRSTVISIBLELINE, 0, 0); }

// Presses the middle button at a point of the editor and puts the mouse
// `dy` pixels below it.
POINT PressMiddleButton(int dy) {
    POINT click{40, 40};
    SendMessageA(EditorWindow(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(click.x, click.y));
    POINT screen = click;
    ClientToScreen(EditorWindow(), &screen);
    SetCursorPos(screen.x, screen.y + dy);
    return screen;
}

TEST_F(EditorMouse, MiddleButtonScrollsOneLinePerTwelvePixels) {
    Load(ManyLines(300));
    ASSERT_EQ(FirstVisibleLine(), 0);
    PressMiddleButton(24);
    EXPECT_EQ(GetCapture(), EditorWindow());
    AutoScrollStep();
    EXPECT_EQ(FirstVisibleLine(), 2);
    AutoScrollStep();
    EXPECT_EQ(FirstVisibleLine(), 4);
    SendMessageA(EditorWindow(), WM_MBUTTONUP, 0, MAKELPARAM(40, 64));
    EXPECT_NE(GetCapture(), EditorWindow());
}

TEST_F(EditorMouse, SmallDistancesScrollNothing) {
    Load(ManyLines(300));
    PressMiddleButton(11);
    AutoScrollStep();
    EXPECT_EQ(FirstVisibleLine(), 0);
    SendMessageA(EditorWindow(), WM_MBUTTONUP, 0, 0);
}

TEST_F(EditorMouse, ScrollingStopsAtTheEndWithoutError) {
    Load(ManyLines(60));
    PressMiddleButton(400);
    LRESULT last = -1;
    for (int i = 0; i < 20 && FirstVisibleLine() != last; ++i) {
        last = FirstVisibleLine();
        AutoScrollStep();
    }
    EXPECT_EQ(FirstVisibleLine(), last);
    EXPECT_GT(last, 0);
    SendMessageA(EditorWindow(), WM_MBUTTONUP, 0, 0);
    EXPECT_TRUE(IsWindow(EditorWindow()));
}

TEST_F(EditorMouse, MiddleButtonWithModifiersIsLeftToTheControl) {
    Load(ManyLines(100));
    SendMessageA(EditorWindow(), WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT, MAKELPARAM(40, 40));
    EXPECT_NE(GetCapture(), EditorWindow());
}

TEST_F(EditorMouse, TimerTicksScrollThroughTheMainWindow) {
    Load(ManyLines(300));
    PressMiddleButton(36);
    // The timer runs on the main window; its tick is one step.
    SendMessageA(g_shell.mainWindow, WM_TIMER, 1976, 0);
    EXPECT_EQ(FirstVisibleLine(), 3);
    SendMessageA(EditorWindow(), WM_MBUTTONUP, 0, 0);
    SendMessageA(g_shell.mainWindow, WM_TIMER, 1976, 0); // a late tick after the release
}

TEST_F(EditorMouse, OleCallbackAnswersAsTheControlExpects) {
    IRichEditOleCallback* callback = EditorOleCallback();
    ASSERT_NE(callback, nullptr);
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(callback->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(callback->AddRef(), 2u);
    EXPECT_EQ(callback->Release(), 1u);
    EXPECT_EQ(callback->GetNewStorage(nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->QueryInsertObject(nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(callback->DeleteObject(nullptr), S_OK);
    LPDATAOBJECT data = reinterpret_cast<LPDATAOBJECT>(1);
    EXPECT_EQ(callback->GetClipboardData(nullptr, 0, &data), E_NOTIMPL);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(callback->GetClipboardData(nullptr, 0, nullptr), E_POINTER);
    HMENU menu = reinterpret_cast<HMENU>(1);
    EXPECT_EQ(callback->GetContextMenu(0, nullptr, nullptr, &menu), E_NOTIMPL);
    EXPECT_EQ(menu, nullptr);
}

TEST_F(EditorMouse, DropIntoTheControlRecordsOneSnapshot) {
    Load(B("before"));
    IRichEditOleCallback* callback = EditorOleCallback();
    CLIPFORMAT format = CF_UNICODETEXT;
    EXPECT_EQ(callback->QueryAcceptData(nullptr, &format, RECO_DROP, TRUE, nullptr), S_OK);
    EXPECT_EQ(format, CF_TEXT);
    EXPECT_FALSE(UndoHistoryEmpty());
    Load(B("after the drop"));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("before"));
    // Other operations offer no snapshot.
    CLIPFORMAT paste = CF_UNICODETEXT;
    EXPECT_EQ(callback->QueryAcceptData(nullptr, &paste, RECO_PASTE, TRUE, nullptr), S_OK);
    EXPECT_EQ(paste, CF_UNICODETEXT);
    EXPECT_TRUE(UndoHistoryEmpty());
}

TEST_F(EditorMouse, DragsAndClicksBelowTheTextStopAtItsLastByte) {
    const Bytes text = B("first\r\nsecond line\r\na word");
    Load(text);
    auto mouse = [](UINT message, WPARAM keys, int x, int y) {
        PostMessageA(EditorWindow(), message, keys, MAKELPARAM(x, y));
        harness::Pump();
    };
    auto raw = [] {
        CHARRANGE r{0, 0};
        SendMessageA(EditorWindow(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    // From below the text to further below: the control's own selection
    // would reach into its hidden line end after the last byte.
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 300, 300);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, 40, 400);
    mouse(WM_LBUTTONUP, 0, 40, 400);
    EXPECT_LE(raw().cpMax, TextLength(EditorWindow()));
    Key(VK_LEFT);
    Type('U');
    EXPECT_EQ(Text(), B("first\r\nsecond line\r\na worUd"));
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 500, 300);
    mouse(WM_LBUTTONUP, 0, 500, 300);
    EXPECT_EQ(raw().cpMin, TextLength(EditorWindow()));
    Key(VK_RETURN);
    Type('!');
    EXPECT_EQ(Text(), B("first\r\nsecond line\r\na worUd\r\n!"));
    for (int i = 0; i < 3; ++i) Command(4);
    EXPECT_EQ(Text(), text);
}

} // namespace
