// The running editor, driven by the messages a user's actions produce.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <richedit.h>

#include <string>

#include "app/program.h"
#include "base/globals.h"
#include "base/settings.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "tests/wine/harness.h"

using Bytes = std::basic_string<unsigned char>;

inline Bytes B(const char* s) { return Bytes(reinterpret_cast<const unsigned char*>(s)); }
inline Bytes B(const char* s, size_t n) { return Bytes(reinterpret_cast<const unsigned char*>(s), n); }

class EditorTest : public testing::Test {
protected:
    void SetUp() override {
        harness::ClearSettings();
        ASSERT_TRUE(harness::StartEditor());
        ASSERT_TRUE(EditorWindow());
    }
    void TearDown() override {
        harness::StopEditor(); // the program's state back to a new process's
        harness::ClearSettings();
    }

    // The document's bytes.
    static Bytes Text() {
        Bytes out(TextLength(EditorWindow()) + 2, 0);
        out.resize(StreamBytesOut(EditorWindow(), false, out.data(), static_cast<int32_t>(out.size())));
        return out;
    }
    // Loads bytes as a file would be: whole text, not modified, caret at 0.
    static void Load(const Bytes& text) {
        StreamBytesIn(EditorWindow(), SF_TEXT, text.data(), static_cast<int32_t>(text.size()));
        SendMessageA(EditorWindow(), EM_SETMODIFY, FALSE, 0);
        Select(0, 0);
    }
    static void Select(int32_t a, int32_t b) {
        CHARRANGE r{a, b};
        SendMessageA(EditorWindow(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    }
    static CHARRANGE Selection() { return GetSelection(EditorWindow()); }
    // A character as the keyboard delivers it (1251 byte).
    static void Type(unsigned char c) { SendMessageA(EditorWindow(), WM_CHAR, c, 1); }
    static void Type(const char* s) {
        for (; *s; ++s) Type(static_cast<unsigned char>(*s));
    }
    static void Key(UINT vk, bool ctrl = false, bool shift = false) { harness::PressKey(EditorWindow(), vk, ctrl, shift); }
    static void Command(int id) { SendMessageA(g_shell.mainWindow, WM_COMMAND, id, 0); }
    static bool Modified() { return SendMessageA(EditorWindow(), EM_GETMODIFY, 0, 0) != 0; }
    // Setting "NO" stored and in force, as the options dialog leaves it.
    static void UseControlUndo(bool on) {
        WriteSettingDword("NO", on ? 1 : 0);
        SetControlUndoUsed(on);
    }
};

// Tests that answer dialogs: every answer given must have been used.
class DialogTest : public EditorTest {
protected:
    void TearDown() override {
        EXPECT_EQ(harness::DropUnusedAnswers(), 0) << "a dialog that was expected did not open";
        EditorTest::TearDown();
    }
};
