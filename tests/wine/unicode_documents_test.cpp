// UTF-8 and UTF-16 files: read as the text of a display code page, written
// back in their own encoding (or the one Save As chose), byte for byte when
// nothing changed; and UTF-8 among the encodings dialog's conversions.
#include "tests/wine/editor_fixture.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/app/command_ids.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "core/editor/bar_tables.h"
#include "core/search/search_ids.h"
#include "core/unicode/unicode_file.h"
#include "core/unicode/utf8.h"
#include "document/documents.h"
#include "editor/status_bar.h"
#include "search/search.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

class UnicodeDocuments : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        folder_ = std::string(temp) + "lk2uni" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    // Nothing is left for a later run that gets the same process number.
    void TearDown() override {
        DialogTest::TearDown();
        for (const char* name : {"text.txt", "box.txt", "copy.txt", "bytes.txt", "letter.txt", "other.txt", "cjk.txt",
                                 "foreign.txt"})
            DeleteFileA((folder_ + "\\" + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = folder_ + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }
    static Bytes Read(const std::string& path) { return harness::ReadFileBytes(path); }
    static Bytes Encoded(FileEncoding e, int cp, const Bytes& text) {
        return harness::UnicodeFileBytes(e, cp, text.data(), text.size());
    }
    std::string folder_;
};

// The Save As dialog's encoding list, wherever its template put it.
BOOL CALLBACK FindEncodingList(HWND window, LPARAM found) {
    if (GetDlgCtrlID(window) == IDC_SAVE_ENCODING) *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// Russian prose in 1251 with both kinds of line end; the same in KOI8-R.
const Bytes kAnsi = B("\xCC\xEE\xF0\xEE\xE7 \xE8 \xF1\xEE\xEB\xED\xF6\xE5; \xE4\xE5\xED\xFC "
                      "\xF7\xF3\xE4\xE5\xF1\xED\xFB\xE9!\r\n\xC5\xF9\xE5 \xF2\xFB \xE4\xF0\xE5\xEC\xEB\xE5\xF8\xFC, "
                      "\xE4\xF0\xF3\xE3 \xEF\xF0\xE5\xEB\xE5\xF1\xF2\xED\xFB\xE9 \x97 \xEF\xEE\xF0\xE0, "
                      "\xEA\xF0\xE0\xF1\xE0\xE2\xE8\xF6\xE0, \xEF\xF0\xEE\xF1\xED\xE8\xF1\xFC\n");

TEST_F(UnicodeDocuments, EveryEncodingIsReadShownAndWrittenBackByteForByte) {
    const FileEncoding encodings[] = {FileEncoding::Utf8, FileEncoding::Utf8Bom, FileEncoding::Utf16Le,
                                      FileEncoding::Utf16Be};
    for (FileEncoding e : encodings) {
        SCOPED_TRACE(FileEncodingName(e));
        // A long one first: the save encodes it piece by piece.
        Bytes longText;
        for (int i = 0; i < 1500; ++i) longText += kAnsi;
        const Bytes longFile = Encoded(e, 0, longText);
        const std::string longPath = Write("text.txt", longFile);
        ASSERT_TRUE(LoadFile(longPath.c_str()));
        SetDocumentModified(true);
        Command(IDM_SAVE);
        EXPECT_TRUE(Read(longPath) == longFile);
        const Bytes file = Encoded(e, 0, kAnsi);
        const std::string path = Write("text.txt", file);
        ASSERT_TRUE(LoadFile(path.c_str()));
        EXPECT_EQ(DisplayCodePage(), 0);
        EXPECT_EQ(Text(), kAnsi);
        EXPECT_EQ(g_document.encoding, e);
        Command(IDM_SAVE);
        EXPECT_EQ(Read(path), file); // opened and saved: the same bytes
        // An edit changes only what was edited.
        Select(0, 0);
        Type('X');
        Command(IDM_SAVE);
        EXPECT_EQ(Read(path), Encoded(e, 0, B("X") + kAnsi));
        // A switch of the display keeps every character: what 866 lacks is
        // kept as itself, and the file is written the same.
        Command(IDM_SHOW_OEM);
        EXPECT_EQ(DisplayCodePage(), 1);
        Command(IDM_SAVE);
        EXPECT_EQ(Read(path), Encoded(e, 0, B("X") + kAnsi));
    }
    // Text only 866 holds (box drawing) goes into 866; a KOI8-R one into KOI8-R.
    const Bytes box = B("\xC9\xCD\xBB \xAF\xE0\xA8\xA2\xA5\xE2\r\n");
    const std::string boxPath = Write("box.txt", Encoded(FileEncoding::Utf8, 1, box));
    ASSERT_TRUE(LoadFile(boxPath.c_str()));
    EXPECT_EQ(DisplayCodePage(), 1);
    EXPECT_EQ(Text(), box);
    // Save As chooses the encoding; the document's own is offered.
    const std::string copy = folder_ + "\\copy.txt";
    AnswerNextDialog([&](HWND dialog) {
        HWND list = nullptr;
        EnumChildWindows(dialog, FindEncodingList, reinterpret_cast<LPARAM>(&list));
        EXPECT_TRUE(list);
        if (!list) return PressButton(IDCANCEL)(dialog);
        EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), static_cast<LRESULT>(FileEncoding::Utf8));
        SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(FileEncoding::Utf16Le), 0);
        harness::ChooseFile(copy)(dialog);
    });
    Command(IDM_SAVE_AS);
    EXPECT_EQ(Read(copy), Encoded(FileEncoding::Utf16Le, 1, box));
    EXPECT_EQ(g_document.encoding, FileEncoding::Utf16Le);
    // A character no code page holds is kept as itself.
    const Bytes cjk = Encoded(FileEncoding::Utf8, 0, kAnsi) + B("\xE4\xB8\xAD");
    const std::string cjkPath = Write("cjk.txt", cjk);
    ASSERT_TRUE(LoadFile(cjkPath.c_str()));
    EXPECT_EQ(g_document.encoding, FileEncoding::Utf8);
    EXPECT_EQ(Text(), kAnsi + B("\x1A"));
    Command(IDM_SAVE);
    EXPECT_EQ(Read(cjkPath), cjk);
    // Nothing is lost: a cut UTF-16 file and malformed UTF-8 open as their
    // bytes and save back unchanged.
    const Bytes odd = B("\xFF\xFE\x41\x00\x42");
    const Bytes malformed = B("\xD0\x9F\xD1\x80\xD0 \xC0\xAF");
    for (const Bytes& bytes : {odd, malformed, Bytes()}) {
        const std::string path = Write("bytes.txt", bytes);
        ASSERT_TRUE(LoadFile(path.c_str()));
        EXPECT_EQ(g_document.encoding, FileEncoding::Bytes);
        EXPECT_EQ(Text(), bytes);
        Command(IDM_SAVE);
        EXPECT_EQ(Read(path), bytes);
    }
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

TEST_F(UnicodeDocuments, EncodingsDialogConvertsFromAndToUtf8AsOneUndoStep) {
    const std::vector<unsigned char> utf8 = CodePageToUtf8(0, kAnsi.data(), kAnsi.size());
    const Bytes bytes(utf8.begin(), utf8.end());
    Load(bytes);
    auto convert = [](int source, int target) {
        AnswerNextDialog([=](HWND dialog) {
            harness::PickEntry(dialog, IDC_ENCODINGS_SOURCE, source);
            harness::PickEntry(dialog, IDC_ENCODINGS_TARGET, target);
            PressButton(IDOK)(dialog);
        });
        Command(IDM_ENCODINGS);
    };
    convert(5, 0);
    EXPECT_EQ(Text(), kAnsi);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), bytes);
    Command(IDM_SELECT_ALL);
    convert(5, 0);
    convert(0, 5);
    EXPECT_EQ(Text(), bytes);
}

// Paste, find and replace and the recent files know nothing of the file's
// encoding: they work on the text shown, and a save writes the result in
// the document's own encoding.
TEST_F(UnicodeDocuments, PasteReplaceAndTheRecentFilesKeepTheEncoding) {
    const std::string path = Write("letter.txt", Encoded(FileEncoding::Utf16Be, 0, kAnsi));
    ASSERT_TRUE(LoadFile(path.c_str()));
    // "Мороз" copied to the end; "Привет" from a Unicode program pasted.
    Select(0, 5);
    Command(IDM_COPY);
    const int32_t end = static_cast<int32_t>(kAnsi.size());
    Select(end, end);
    Command(IDM_PASTE);
    const wchar_t privet[] = L"\x041F\x0440\x0438\x0432\x0435\x0442";
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, sizeof privet)) {
            memcpy(GlobalLock(h), privet, sizeof privet);
            GlobalUnlock(h);
            SetClipboardData(CF_UNICODETEXT, h);
        }
        CloseClipboard();
    }
    Command(IDM_PASTE);
    Bytes expected = kAnsi + B("\xCC\xEE\xF0\xEE\xE7\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(Text(), expected);
    // Every "день" replaced by "ночь", typed in the dialog as 1251.
    g_search = SearchState{};
    Select(0, 0);
    AnswerNextDialog([](HWND d) {
        harness::TypeInto(GetDlgItem(d, IDC_SEARCH_TEXT), "\xE4\xE5\xED\xFC");
        harness::TypeInto(GetDlgItem(d, IDC_REPLACEMENT), "\xED\xEE\xF7\xFC");
        harness::SetCheck(d, IDC_PROMPT, false);
        PressButton(IDC_REPLACE_ALL)(d);
    });
    Command(IDM_REPLACE);
    expected.replace(expected.find(B("\xE4\xE5\xED\xFC")), 4, B("\xED\xEE\xF7\xFC"));
    EXPECT_EQ(Text(), expected);
    Command(IDM_SAVE);
    EXPECT_EQ(Read(path), Encoded(FileEncoding::Utf16Be, 0, expected));
    // Another file, then this one again from the recent files: read as
    // UTF-16 BE once more.
    const std::string other = Write("other.txt", B("plain"));
    ASSERT_TRUE(LoadFile(other.c_str()));
    EXPECT_EQ(g_document.encoding, FileEncoding::Bytes);
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(std::string(g_document.fileName), path);
    EXPECT_EQ(g_document.encoding, FileEncoding::Utf16Be);
    EXPECT_EQ(Text(), expected);
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

// Texts people write today, with characters none of the three code pages
// holds: edited around them, cut and pasted, converted, shown in another
// code page, undone, every save holds every character in the file's own
// encoding, and undoing everything gives the file's very bytes back.
std::string PathField() {
    char text[1024] = {};
    if (SendMessageA(g_statusBar, SB_GETTEXTLENGTHA, kPathField, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(g_statusBar, SB_GETTEXTA, kPathField, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST_F(UnicodeDocuments, ForeignCharactersSurviveEditingUndoAndSaving) {
    const std::wstring texts[] = {
        L"\U0001F600 \u041A\u0430\u0444\u0435 Caf\u00E9 \u0441\u0442\u043E\u0438\u0442 100 \u20BD \u2192 "
        L"\u00D72 \u2248 3\u00B2 \u2713\r\n\u0301\u0437\u0430\u0301\u043C\u043E\u043A \u0438 "
        L"\u0437\u0430\u043C\u043E\u0301\u043A, \u0141\u00F3d\u017A, Ma\u00F1ana \U0001F600",
        L"\u4E2D\u6587\u6587\u672C\r\n\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC \u03BA\u03B5\u03AF\u03BC\u03B5\u03BD\u03BF",
    };
    const UINT forms[] = {CP_UTF8, 1200};
    for (const std::wstring& text : texts) {
        for (UINT form : forms) {
            SCOPED_TRACE(form);
            const auto utf16 = [](const std::wstring& w) {
                Bytes b{0xFF, 0xFE};
                for (wchar_t c : w) b += {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8)};
                return b;
            };
            const auto file = [&](const std::wstring& w) {
                if (form == 1200) return utf16(w);
                std::string out(w.size() * 4, '\0');
                out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()),
                                                                   out.data(), static_cast<int>(out.size()), nullptr,
                                                                   nullptr)));
                return B(out.c_str());
            };
            const Bytes original = file(text);
            const std::string path = Write("foreign.txt", original);
            ASSERT_TRUE(LoadFile(path.c_str()));
            EXPECT_NE(g_document.encoding, FileEncoding::Bytes);
            if (&text == &texts[1]) {
                EXPECT_NE(PathField().find(" — 19 символов вне кодировки"), std::string::npos);
            }
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), original);
            // Typing at the start, deleting a foreign character (an emoji
            // whole) and its neighbours, and a conversion there and back.
            Select(0, 0);
            Type("X");
            Key(VK_DELETE);
            // The status bar counts the characters no code page shown holds:
            // a key's edit at once, any other a moment after it.
            if (&text == &texts[1]) {
                EXPECT_NE(PathField().find(" — 18 символов вне кодировки"), std::string::npos) << PathField();
                Select(0, 3);
                Command(IDM_CUT);
                Sleep(400);
                harness::Pump();
                EXPECT_NE(PathField().find(" — 16 символов вне кодировки"), std::string::npos) << PathField();
                Command(IDM_PASTE);
            }
            const int32_t length = TextLength(EditorWindow());
            Select(length, length);
            Key(VK_BACK);
            Select(4, 6);
            Key(VK_DELETE);
            Key(VK_LEFT, true, true);
            Command(IDM_TO_KOI8);
            Command(IDM_TO_ANSI);
            // Everything cut and pasted back, shown in 866 and in 1251.
            Select(0, TextLength(EditorWindow()));
            Command(IDM_CUT);
            Command(IDM_PASTE);
            Command(IDM_SHOW_OEM);
            Command(IDM_SHOW_KOI8);
            Command(IDM_SHOW_ANSI);
            Command(IDM_SAVE);
            // The file holds the characters the edits left, none of the
            // program's own stand-ins, and reads as what is in the control.
            const Bytes edited = Read(path);
            std::wstring back(edited.size(), L'\0');
            if (form == 1200) {
                back.assign(reinterpret_cast<const wchar_t*>(edited.data() + 2), (edited.size() - 2) / 2);
            } else {
                back.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(edited.data()),
                                                                    static_cast<int>(edited.size()), back.data(),
                                                                    static_cast<int>(back.size()))));
            }
            EXPECT_EQ(back.find_first_of(L"\x1A\x1C\xFFFD?"), std::wstring::npos);
            EXPECT_NE(back.find(&text == &texts[0] ? L"\u20BD \u2192" : L"\u0395\u03BB\u03BB"), std::wstring::npos);
            ASSERT_TRUE(LoadFile(path.c_str()));
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), edited);
            Select(0, 0);
            Type("Y");
            Command(IDM_UNDO);
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), edited);
            // Undo everything of the first session: the original bytes.
            ASSERT_TRUE(LoadFile(Write("foreign.txt", original).c_str()));
            Select(0, 0);
            Type("X");
            Select(2, 4);
            Key(VK_DELETE);
            Select(0, TextLength(EditorWindow()));
            Command(IDM_CUT);
            Command(IDM_PASTE);
            Command(IDM_TO_OEM);
            Command(IDM_SHOW_OEM);
            while (!UndoHistoryEmpty()) Command(IDM_UNDO);
            Command(IDM_SHOW_ANSI);
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), original);
            // Typed from the keyboard, é, ₽ and an emoji go in as they are.
            Select(0, 0);
            for (wchar_t c : std::wstring(L"\u00E9\u20BD\U0001F600")) PostMessageW(EditorWindow(), WM_CHAR, c, 1);
            while (TakeTypedUnicodeCharacter()) {
            }
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), file(L"\u00E9\u20BD\U0001F600" + text));
            while (!UndoHistoryEmpty()) Command(IDM_UNDO);
            Command(IDM_SAVE);
            EXPECT_EQ(Read(path), original);
            // A selection from inside the emoji cuts it whole, and pastes it back.
            if (&text == &texts[0]) {
                Select(1, 4);
                Command(IDM_CUT);
                Command(IDM_SAVE);
                EXPECT_EQ(Read(path), file(text.substr(4)));
                Command(IDM_PASTE);
                Command(IDM_SAVE);
                EXPECT_EQ(Read(path), original);
            }
        }
    }
}

} // namespace

