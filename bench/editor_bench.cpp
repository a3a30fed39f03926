// Editor operations on a 20 MB document against the bare rich-edit control
// streaming the same bytes out and in. Run under Wine; prints the times and
// their ratios.
#include <windows.h>
#include <richedit.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "codepage/conversion_commands.h"
#include "codepage/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string MakeDocument(size_t size) {
    // Lines of Cyrillic and Latin words, box drawing and digits.
    const char* words[] = {"\xCF\xF0\xE8\xE2\xE5\xF2", "text", "\xC9\xCD\xBB", "12345", "\xEC\xE8\xF0", "line"};
    std::string text;
    text.reserve(size + 100);
    size_t column = 0;
    for (size_t i = 0; text.size() < size; ++i) {
        text += words[i % 6];
        column += 6;
        if (column > 70) {
            text += "\r\n";
            column = 0;
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

struct Source {
    const std::string* text;
    size_t position;
};

DWORD CALLBACK ReadBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* s = reinterpret_cast<Source*>(cookie);
    size_t n = std::min(static_cast<size_t>(size), s->text->size() - s->position);
    memcpy(buffer, s->text->data() + s->position, n);
    s->position += n;
    *done = static_cast<LONG>(n);
    return 0;
}

DWORD CALLBACK WriteBytes(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), size);
    *done = size;
    return 0;
}

// The bare control: the bytes out and in again as SF_TEXT.
double BareOutAndIn(HWND control, const std::string& text) {
    Source source{&text, 0};
    EDITSTREAM in{reinterpret_cast<DWORD_PTR>(&source), 0, ReadBytes};
    SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&in));
    auto start = Clock::now();
    std::string out;
    out.reserve(text.size() + 16);
    EDITSTREAM outStream{reinterpret_cast<DWORD_PTR>(&out), 0, WriteBytes};
    SendMessageA(control, EM_STREAMOUT, SF_TEXT, reinterpret_cast<LPARAM>(&outStream));
    Source again{&out, 0};
    EDITSTREAM in2{reinterpret_cast<DWORD_PTR>(&again), 0, ReadBytes};
    SendMessageA(control, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&in2));
    return Seconds(start);
}

double KeystrokeCost(HWND control, int keys) {
    CHARRANGE middle{1000000, 1000000};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&middle));
    auto start = Clock::now();
    for (int i = 0; i < keys; ++i) SendMessageA(control, WM_CHAR, i % 2 ? 0xE0 : 'a', 1);
    return Seconds(start) / keys;
}

} // namespace

int main(int argc, char** argv) {
    // The document size in KB (20 MB unless given).
    const size_t size = (argc > 1 ? static_cast<size_t>(atoi(argv[1])) : 20u * 1024) << 10;
    const std::string document = MakeDocument(size);
    LoadLibraryA("riched32");
    g_sizeLimit = 0x7FFFFFFF;
    g_heap = GetProcessHeap();
    g_mainWindow = CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND bare = CreateWindowExA(0, "RICHEDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL |
                                ES_AUTOHSCROLL, 0, 0, 800, 600, g_mainWindow, nullptr, nullptr, nullptr);
    SendMessageA(bare, EM_EXLIMITTEXT, 0, g_sizeLimit);
    const double bare1 = BareOutAndIn(bare, document);
    fprintf(stderr, "bare out + in: %.3f s\n", bare1);
    const double bare2 = BareOutAndIn(bare, document);
    const double bareStream = std::min(bare1, bare2);
    fprintf(stderr, "step: %s\n", "bareKey");
    const double bareKey = KeystrokeCost(bare, 200);
    DestroyWindow(bare);

    fprintf(stderr, "step: %s\n", "CreateEditorControl");
    CreateEditorControl();
    MoveWindow(g_editor, 0, 0, 800, 600, TRUE);
    StreamBytesIn(g_editor, SF_TEXT, reinterpret_cast<const unsigned char*>(document.data()),
                  static_cast<int32_t>(document.size()));
    auto start = Clock::now();
    SetDisplayCodePage(1);
    fprintf(stderr, "step: %s\n", "switchTime");
    const double switchTime = Seconds(start);
    SetDisplayCodePage(0);
    CHARRANGE caret{0, 0};
    SendMessageA(g_editor, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    start = Clock::now();
    ConvertCommand(30); // the whole text to 866
    fprintf(stderr, "step: %s\n", "convertTime");
    const double convertTime = Seconds(start);
    fprintf(stderr, "step: %s\n", "editorKey");
    const double editorKey = KeystrokeCost(g_editor, 200);

    printf("document: %zu bytes\n", size);
    printf("bare control, stream out + in (SF_TEXT): %.3f s\n", bareStream);
    printf("display code-page switch:               %.3f s  ratio %.2f\n", switchTime, switchTime / bareStream);
    printf("whole-text conversion to 866:           %.3f s  ratio %.2f\n", convertTime, convertTime / bareStream);
    printf("keystroke, bare control:                %.1f us\n", bareKey * 1e6);
    printf("keystroke, editor (with undo record):   %.1f us  ratio %.2f\n", editorKey * 1e6, editorKey / bareKey);
    return 0;
}
