// Loading, saving, the save-changes prompt, the file dialogs and the
// recent-files list, driven as a user would drive them.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/menus.h"
#include "base/settings.h"
#include "document/documents.h"
#include "document/recent_files.h"
#include "editor/status_bar.h"
#include "tests/wine/editor_fixture.h"
#include "editor/whole_text.h"

namespace {

using harness::AnswerNextDialog;
using harness::ChooseFile;
using harness::PressButton;
using harness::TakeSeenDialogs;

Bytes ReadBytes(const std::string& path) {
    Bytes out;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return out;
    unsigned char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) out.append(chunk, read);
    CloseHandle(file);
    return out;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Starts a shell command of the host system (Wine runs Unix programs) and
// waits until `ready` holds, at most five seconds.
bool RunHostCommandUntil(const std::string& command, bool (*ready)(const std::string&), const std::string& arg) {
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 100; ++i) {
        if (ready(arg)) return true;
        Sleep(50);
    }
    return false;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool Missing(const std::string& path) { return !Exists(path); }

// A folder under the host's /tmp, reached through drive Z:, for the facts
// only the host sees (links, modes, inodes, mounts).
struct HostFolder {
    std::string unix;
    std::string windows;
    explicit HostFolder(const std::string& name) : unix("/tmp/" + name + std::to_string(GetCurrentProcessId())) {
        windows = "Z:" + unix;
        for (char& c : windows)
            if (c == '/') c = '\\';
    }
    std::string Path(const std::string& name) const { return windows + "\\" + name; }
};

// What a shell command of the host prints, run in `folder`; empty when it
// does not finish within five seconds.
std::string HostOutput(const HostFolder& folder, const std::string& command) {
    const std::string done = folder.Path("host.out");
    DeleteFileA(done.c_str());
    if (!RunHostCommandUntil("cd " + folder.unix + " && { " + command + "; } > host.tmp 2>&1; mv host.tmp host.out",
                             Exists, done))
        return {};
    const Bytes out = ReadBytes(done);
    DeleteFileA(done.c_str());
    return std::string(out.begin(), out.end());
}

std::string Setting(const char* name) {
    char value[300];
    ReadSettingString(name, value, sizeof value);
    return value;
}

class DocumentsTest : public DialogTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        folder_ = std::string(temp) + "lk2docs" + std::to_string(GetCurrentProcessId()) + "_" +
                  std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        TakeSeenDialogs();
    }
    void TearDown() override {
        DialogTest::TearDown(); // the size limit and the caret setting as a new process has them

        RemoveTree(folder_);
    }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
    std::string MakeFile(const std::string& name, const Bytes& bytes) {
        WriteBytes(Path(name), bytes);
        return Path(name);
    }
    static std::string CurrentName() { return g_document.fileName; }
    static bool MenuChecked(int id) { return (harness::MenuItemState(id) & MF_CHECKED) != 0; }

    std::string folder_;
};

// --- Loading and saving ---------------------------------------------------

using DocumentsLoadSave = DocumentsTest;

TEST_F(DocumentsLoadSave, EveryByteSurvivesLoadAndSaveInEachDisplayCodePage) {
    Bytes all;
    for (int b = 0; b < 256; ++b) all += static_cast<unsigned char>(b);
    all += B("\rlone CR\nlone LF\r\nCR LF\n\rLF CR");
    all += Bytes(3, 0);
    all += all; // twice, so NUL, CR and LF sit among letters too
    const std::string source = MakeFile("all.bin", all);
    for (int cp = 0; cp < 3; ++cp) {
        SCOPED_TRACE(cp);
        ASSERT_TRUE(LoadFile(source.c_str()));
        EXPECT_EQ(Text(), all);
        Command(16 + cp);
        EXPECT_EQ(DisplayCodePage(), cp);
        const std::string target = Path("out" + std::to_string(cp) + ".bin");
        AnswerNextDialog(ChooseFile(target));
        Command(IDM_SAVE_AS);
        EXPECT_EQ(ReadBytes(target), all);
        EXPECT_FALSE(Modified());
        // Saved again under its own name after an edit that was taken back.
        Select(0, 0);
        Type("x");
        Key(VK_BACK);
        Command(IDM_SAVE);
        EXPECT_EQ(ReadBytes(target), all);
    }
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

TEST_F(DocumentsLoadSave, LoadingReplacesTheDocumentAndSetsNameTitleAndState) {
    Command(IDM_SHOW_OEM); // shown as OEM before
    Type("old text");
    const std::string path = MakeFile("plain.txt", B("first line\r\nsecond"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    EXPECT_EQ(Text(), B("first line\r\nsecond"));
    EXPECT_EQ(CurrentName(), path);
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());
    EXPECT_EQ(Selection().cpMin, 0);
    char title[300];
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    EXPECT_STREQ(title, "[plain.txt]-LORK2");
    EXPECT_EQ(DisplayCodePage(), 0);
    EXPECT_TRUE(MenuChecked(IDM_SHOW_ANSI));
    EXPECT_FALSE(MenuChecked(IDM_SHOW_OEM));
}

TEST_F(DocumentsLoadSave, AnEmptyFileLoadsAsAnsi) {
    Command(IDM_SHOW_KOI8);
    ASSERT_EQ(DisplayCodePage(), 2);
    ASSERT_TRUE(LoadFile(MakeFile("empty.txt", Bytes()).c_str()));
    EXPECT_EQ(Text(), Bytes());
    EXPECT_EQ(DisplayCodePage(), 0);
}

TEST_F(DocumentsLoadSave, TheCodePageIsGuessedFromTheFirst1276Bytes) {
    struct Case {
        const char* name;
        Bytes bytes;
        int expected;
    };
    const Case cases[] = {
        {"pseudographics", B("\xC9\xCD\xCD\xBB\r\n\xBA \x8F\xE0\xA8\xA2\xA5\xE2 \xBA\r\n\xB0\xB1\xB2\xBF"), 1},
        {"koi8 capitalised word", B("\xF0\xD2\xC9\xD7\xC5\xD4, \xED\xC9\xD2!\r\n\xF0\xCF\xCB\xC1"), 2},
        {"ordinary 1251", B("Привет, как дела? Это обычный текст, и в нём нет ничего особенного."), 0},
        {"oem byte last counted", Bytes(1275, 'x') + B("\xB0") + Bytes(10, 'x'), 1},
        {"oem byte first not counted", Bytes(1276, 'x') + B("\xB0\xB1\xB2\xBA\xBF"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Command(c.expected == 1 ? 18 : 17); // start from another code page
        ASSERT_TRUE(LoadFile(MakeFile("guess.txt", c.bytes).c_str()));
        EXPECT_EQ(DisplayCodePage(), c.expected);
        EXPECT_TRUE(MenuChecked(16 + c.expected));
        EXPECT_EQ(Text(), c.bytes);
    }
}

TEST_F(DocumentsLoadSave, TheSizeLimitAdmitsExactlyItsSize) {
    g_shell.sizeLimit = 4096;
    const std::string at = MakeFile("at.txt", Bytes(4096, 'a'));
    const std::string over = MakeFile("over.txt", Bytes(4097, 'b'));
    ASSERT_TRUE(LoadFile(at.c_str()));
    EXPECT_EQ(TextLength(EditorWindow()), 4096);
    Type("z");
    TakeSeenDialogs();
    AnswerNextDialog(PressButton(IDOK));
    EXPECT_FALSE(LoadFile(over.c_str()));
    const auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_EQ(Text(), B("z") + Bytes(4096, 'a'));
    EXPECT_EQ(CurrentName(), at);
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(UndoHistoryEmpty());
}

TEST_F(DocumentsLoadSave, AFileThatCannotBeOpenedIsRefusedSilently) {
    Type("kept");
    EXPECT_FALSE(LoadFile(Path("missing.txt").c_str()));
    const std::string tooLong = folder_ + "\\" + std::string(300, 'n') + ".txt";
    EXPECT_FALSE(LoadFile(tooLong.c_str()));
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(Text(), B("kept"));
    EXPECT_EQ(CurrentName(), kUntitledName);
    EXPECT_TRUE(Modified());
}

TEST_F(DocumentsLoadSave, AReadErrorLeavesTheOldDocumentWhole) {
    // A file that opens and has a size but whose reading fails: the link
    // speed of the loopback device.
    const char* failing = "Z:\\sys\\class\\net\\lo\\speed";
    if (!Exists(failing)) GTEST_SKIP() << "no file here whose reading fails";
    const std::string old = MakeFile("old.txt", B("old document"));
    ASSERT_TRUE(LoadFile(old.c_str()));
    Type("edited ");
    AnswerNextDialog(PressButton(IDOK));
    EXPECT_FALSE(LoadFile(failing));
    const auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_EQ(Text(), B("edited old document"));
    EXPECT_EQ(CurrentName(), old);
    EXPECT_TRUE(Modified());
    EXPECT_FALSE(UndoHistoryEmpty());
    EXPECT_EQ(Setting("LIST"), "0");
}

TEST_F(DocumentsLoadSave, ANameInAnotherLetterCaseTakesTheSpellingOnDisk) {
    MakeFile("MixedCase.TXT", B("x"));
    std::string upperFolder = folder_;
    CharUpperA(upperFolder.data());
    ASSERT_TRUE(LoadFile((upperFolder + "\\mixedcase.txt").c_str()));
    EXPECT_EQ(CurrentName(), upperFolder + "\\MixedCase.TXT");
}

TEST_F(DocumentsLoadSave, AReadOnlyFileIsOverwrittenOnlyAfterYesAndStaysReadOnly) {
    const std::string path = MakeFile("locked.txt", B("original"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    Select(0, 0);
    Type("new ");

    AnswerNextDialog(PressButton(IDNO));
    Command(IDM_SAVE);
    auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_NE(seen[0].text.find(path + ": только для чтения!"), std::string::npos) << seen[0].text;
    EXPECT_NE(seen[0].text.find("Перезаписать?"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), B("original"));
    EXPECT_TRUE(Modified());

    AnswerNextDialog(PressButton(IDYES));
    Command(IDM_SAVE);
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(ReadBytes(path), B("new original"));
    EXPECT_FALSE(Modified());
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FilesIn(folder_).size(), 1u); // no temporary file left over
}

TEST_F(DocumentsLoadSave, AFileChangedByAnotherProgramIsOverwrittenOnlyAfterYes) {
    const std::string path = MakeFile("shared.txt", B("\xCF\xE8\xF1\xFC\xEC\xEE\r\n"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    WriteBytes(path, B("\xCF\xE8\xF1\xFC\xEC\xEE\r\n\xC5\xF9\xB8 \xF1\xF2\xF0\xEE\xEA\xE0\r\n"));
    const Bytes theirs = ReadBytes(path);
    Select(0, 0);
    Type("new ");
    // Cancel keeps their change and the document; No goes to Save As.
    AnswerNextDialog(PressButton(IDCANCEL));
    Command(IDM_SAVE);
    auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find("Файл изменён другой программой после открытия. Сохранить поверх изменений?"),
              std::string::npos) << seen[0].text;
    EXPECT_EQ(ReadBytes(path), theirs);
    EXPECT_TRUE(Modified());
    AnswerNextDialog(PressButton(IDNO));
    AnswerNextDialog(ChooseFile(Path("mine.txt")));
    Command(IDM_SAVE);
    EXPECT_EQ(ReadBytes(path), theirs);
    EXPECT_EQ(ReadBytes(Path("mine.txt")), B("new \xCF\xE8\xF1\xFC\xEC\xEE\r\n"));
    EXPECT_EQ(TakeSeenDialogs().size(), 2u); // the question and the Save As dialog
    ASSERT_TRUE(LoadFile(path.c_str()));
    WriteBytes(path, B("changed"));
    Type("y");
    AnswerNextDialog(PressButton(IDYES));
    Command(IDM_SAVE);
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(ReadBytes(path), B("y\xCF\xE8\xF1\xFC\xEC\xEE\r\n\xC5\xF9\xB8 \xF1\xF2\xF0\xEE\xEA\xE0\r\n"));
}

TEST_F(DocumentsLoadSave, ANewFileGetsTheArchiveAttribute) {
    Type("fresh");
    const std::string path = Path("fresh.txt");
    AnswerNextDialog(ChooseFile(path));
    Command(IDM_SAVE); // untitled: Save goes through Save As
    EXPECT_EQ(ReadBytes(path), B("fresh"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(CurrentName(), path);
    EXPECT_FALSE(Modified());
}

TEST_F(DocumentsLoadSave, ASaveThatCannotReplaceTheFileLeavesItWhole) {
    const std::string path = MakeFile("held.txt", B("on disk"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    Type("changed ");
    // Another program has the file open and lets nobody else write it.
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_SAVE);
    CloseHandle(holder);
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(ReadBytes(path), B("on disk"));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"held.txt"});
    Command(IDM_SAVE); // once the file is free, the same save goes through
    EXPECT_EQ(ReadBytes(path), B("changed on disk"));
    EXPECT_FALSE(Modified());
}

TEST_F(DocumentsLoadSave, ASaveOntoAFullDiskLeavesTheOldFileWhole) {
    const HostFolder host("lk2full");
    const bool mounted = RunHostCommandUntil("mkdir -p " + host.unix + " && mount -t tmpfs -o size=64k tmpfs " +
                                                 host.unix + " && chmod 755 " + host.unix + " && touch " + host.unix +
                                                 "/ready",
                                             Exists, host.Path("ready"));
    if (!mounted) GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root)";
    const std::string path = host.Path("small.txt");
    struct Case {
        const char* what;
        size_t oldSize;
        size_t newSize;
        bool saved;
    };
    // The new text does not fit; then not even the copy of the old one does
    // (the temporary folder takes it, and the short text is saved).
    for (const Case& c :
         {Case{"new text too long", 20000, 100000, false}, Case{"no room for the copy", 40000, 1000, true}}) {
        SCOPED_TRACE(c.what);
        const Bytes old(c.oldSize, 'o');
        WriteBytes(path, old);
        HostOutput(host, "chmod 750 small.txt");
        ASSERT_TRUE(LoadFile(path.c_str()));
        Select(0, 0);
        const Bytes big(c.newSize, 'b');
        ReplaceSelectionBytes(big.data(), static_cast<int32_t>(big.size()), false);
        if (!c.saved) AnswerNextDialog(PressButton(IDOK));
        Command(IDM_SAVE);
        const auto seen = TakeSeenDialogs();
        EXPECT_EQ(seen.size(), c.saved ? 0u : 1u); // the error is shown
        EXPECT_EQ(ReadBytes(path), c.saved ? big + old : old);
        EXPECT_EQ(Modified(), !c.saved);
        EXPECT_EQ(FilesIn(host.windows), (std::vector<std::string>{"ready", "small.txt"}));
        EXPECT_EQ(HostOutput(host, "stat -c %a small.txt"), "750\n");
    }
    RunHostCommandUntil("umount " + host.unix + " && rmdir " + host.unix, Missing, host.windows);
}

TEST_F(DocumentsLoadSave, SavingWritesTheFileANameLeadsToAndKeepsItsModeAndLinks) {
    const HostFolder host("lk2links");
    const std::string ready = host.Path("ready");
    ASSERT_TRUE(RunHostCommandUntil("rm -rf " + host.unix + " && mkdir " + host.unix + " && cd " + host.unix +
                                        " && printf old > run.sh && chmod 755 run.sh && ln -s run.sh link.sh"
                                        " && printf shared > hard.txt && chmod 640 hard.txt && ln hard.txt twin.txt"
                                        " && touch ready",
                                    Exists, ready));
    DeleteFileA(ready.c_str());

    // Through a symbolic link: the link stays a link, its target gets the text.
    ASSERT_TRUE(LoadFile(host.Path("link.sh").c_str()));
    Select(0, 0);
    Type("new ");
    Command(IDM_SAVE);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(HostOutput(host, "test -L link.sh && readlink link.sh && stat -c %a run.sh && cat run.sh"),
              "run.sh\n755\nnew old");

    // An unchanged 0755 file saved again stays 0755.
    ASSERT_TRUE(LoadFile(host.Path("run.sh").c_str()));
    Command(IDM_SAVE);
    EXPECT_EQ(HostOutput(host, "stat -c %a run.sh"), "755\n");

    // Through a hard link: both names still share one file with the new text.
    ASSERT_TRUE(LoadFile(host.Path("twin.txt").c_str()));
    Select(6, 6);
    Type(" text");
    Command(IDM_SAVE);
    EXPECT_EQ(HostOutput(host, "test $(stat -c %i hard.txt) = $(stat -c %i twin.txt) && stat -c '%a %h' hard.txt"
                               " && cat hard.txt"),
              "640 2\nshared text");
    EXPECT_TRUE(TakeSeenDialogs().empty());
    // No copy of the old bytes is left beside the files.
    auto files = FilesIn(host.windows);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"hard.txt", "link.sh", "run.sh", "twin.txt"}));
    RunHostCommandUntil("rm -rf " + host.unix, Missing, host.windows);
}

// --- The save-changes prompt ----------------------------------------------

using DocumentsPrompt = DocumentsTest;

TEST_F(DocumentsPrompt, NoQuestionWhileTheDocumentIsUnchanged) {
    Load(B("text that was never changed"));
    Command(IDM_NEW);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(Text(), Bytes());
}

TEST_F(DocumentsPrompt, YesNoAndCancelForADocumentWithAFile) {
    const std::string path = MakeFile("doc.txt", B("abc"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    Type("1");

    AnswerNextDialog(PressButton(IDCANCEL));
    Command(IDM_NEW);
    auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_EQ(seen[0].text, "Сохранить " + path + "?");
    EXPECT_EQ(Text(), B("1abc"));
    EXPECT_EQ(CurrentName(), path);

    AnswerNextDialog(PressButton(IDNO));
    Command(IDM_NEW);
    EXPECT_EQ(ReadBytes(path), B("abc"));
    EXPECT_EQ(Text(), Bytes());
    EXPECT_EQ(CurrentName(), kUntitledName);

    ASSERT_TRUE(LoadFile(path.c_str()));
    EXPECT_EQ(Selection().cpMin, 1) << "the caret left there by the prompt";
    Select(0, 0);
    Type("2");
    AnswerNextDialog(PressButton(IDYES));
    Command(IDM_NEW);
    EXPECT_EQ(ReadBytes(path), B("2abc"));
    EXPECT_EQ(CurrentName(), kUntitledName);
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

// The buttons and the icon of a question, as the message box shows them.
struct QuestionLook {
    bool yes = false;
    bool no = false;
    bool cancel = false;
    bool questionIcon = false;
};

harness::DialogAnswer LookThenPress(QuestionLook& look, int button) {
    return [&look, button](HWND box) {
        look.yes = GetDlgItem(box, IDYES) != nullptr;
        look.no = GetDlgItem(box, IDNO) != nullptr;
        look.cancel = GetDlgItem(box, IDCANCEL) != nullptr;
        const HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x0440, STM_GETICON, 0, 0));
        look.questionIcon = icon && icon == LoadIconA(nullptr, IDI_QUESTION);
        PressButton(button)(box);
    };
}

TEST_F(DocumentsPrompt, TheLongestFileNameComesOutWholeInBothQuestions) {
    // 259 characters: the longest full name a 260-byte buffer holds.
    const std::string name = std::string(259 - folder_.size() - 1 - 4, 'n') + ".txt";
    const std::string path = MakeFile(name, B("old"));
    ASSERT_EQ(path.size(), 259u);
    ASSERT_TRUE(LoadFile(path.c_str()));
    ASSERT_EQ(CurrentName(), path);
    Type("x");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);

    QuestionLook overwrite;
    AnswerNextDialog(LookThenPress(overwrite, IDNO));
    Command(IDM_SAVE);
    QuestionLook save;
    AnswerNextDialog(LookThenPress(save, IDCANCEL));
    Command(IDM_NEW);

    const auto seen = TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].caption, "LORK2");
    EXPECT_EQ(seen[0].text, path + ": только для чтения!\rПерезаписать?");
    EXPECT_TRUE(overwrite.yes && overwrite.no && !overwrite.cancel);
    EXPECT_TRUE(overwrite.questionIcon);
    EXPECT_EQ(seen[1].caption, "LORK2");
    EXPECT_EQ(seen[1].text, "Сохранить " + path + "?");
    EXPECT_TRUE(save.yes && save.no && save.cancel);
    EXPECT_TRUE(save.questionIcon);
    EXPECT_EQ(ReadBytes(path), B("old"));
    EXPECT_EQ(Text(), B("xold"));
}

TEST_F(DocumentsPrompt, YesForAnUntitledDocumentOpensSaveAsAndItsCancelCancels) {
    Type("draft");
    std::string proposed;
    AnswerNextDialog(PressButton(IDYES));
    AnswerNextDialog([&proposed](HWND dialog) {
        proposed = harness::FileDialogName(dialog);
        PressButton(IDCANCEL)(dialog);
    });
    SendMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
    harness::Pump();
    ASSERT_TRUE(IsWindow(g_shell.mainWindow)) << "cancelling Save As cancels the close";
    EXPECT_EQ(proposed, kUntitledName);
    EXPECT_EQ(TakeSeenDialogs()[0].text, std::string("Сохранить ") + kUntitledName + "?");
    EXPECT_TRUE(Modified());

    const std::string path = Path("draft.txt");
    AnswerNextDialog(PressButton(IDYES));
    AnswerNextDialog(ChooseFile(path));
    EXPECT_NE(SendMessageA(g_shell.mainWindow, WM_QUERYENDSESSION, 0, 0), FALSE);
    EXPECT_EQ(ReadBytes(path), B("draft"));
    EXPECT_EQ(CurrentName(), path);
}

TEST_F(DocumentsPrompt, ClosingAsksAndCancelKeepsTheWindow) {
    Type("unsaved");
    AnswerNextDialog(PressButton(IDCANCEL));
    Key(VK_ESCAPE); // Escape closes the window through SC_CLOSE
    harness::Pump();
    ASSERT_TRUE(IsWindow(g_shell.mainWindow));
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    AnswerNextDialog(PressButton(IDCANCEL));
    EXPECT_EQ(SendMessageA(g_shell.mainWindow, WM_QUERYENDSESSION, 0, 0), FALSE);
    AnswerNextDialog(PressButton(IDNO));
    SendMessageA(g_shell.mainWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(g_shell.mainWindow));
}

// --- File dialogs -------------------------------------------------------------

using DocumentsDialogs = DocumentsTest;

TEST_F(DocumentsDialogs, OpenLoadsTheChosenFile) {
    const std::string path = MakeFile("chosen.txt", B("chosen"));
    AnswerNextDialog(ChooseFile(path));
    Command(IDM_OPEN);
    EXPECT_EQ(Text(), B("chosen"));
    EXPECT_EQ(CurrentName(), path);
    AnswerNextDialog(PressButton(IDCANCEL));
    Command(IDM_OPEN);
    EXPECT_EQ(CurrentName(), path);
}

TEST_F(DocumentsDialogs, SaveAsWithTheHtmlFilterAddsHtm) {
    Type("<p>");
    AnswerNextDialog(ChooseFile(Path("page"), 3));
    Command(IDM_SAVE_AS);
    EXPECT_EQ(ReadBytes(Path("page.htm")), B("<p>"));
    EXPECT_EQ(CurrentName(), Path("page.htm"));
    // The filter stays chosen for the next dialog; the text filter gives .txt.
    AnswerNextDialog(ChooseFile(Path("again")));
    Command(IDM_SAVE_AS);
    EXPECT_TRUE(Exists(Path("again.htm")));
    AnswerNextDialog(ChooseFile(Path("notes"), 1));
    Command(IDM_SAVE_AS);
    EXPECT_TRUE(Exists(Path("notes.txt")));
}

TEST_F(DocumentsDialogs, InsertFromFileReplacesTheSelectionAndUndoesInOneStep) {
    const std::string path = MakeFile("doc.txt", B("Hello world"));
    ASSERT_TRUE(LoadFile(path.c_str()));
    const std::string piece = MakeFile("piece.txt", B("there\r\n\x01\xFF"));
    Select(6, 11);
    AnswerNextDialog(ChooseFile(piece));
    Command(IDM_INSERT_FILE);
    EXPECT_EQ(Text(), B("Hello there\r\n\x01\xFF"));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(CurrentName(), path);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("Hello world"));
}

TEST_F(DocumentsDialogs, DroppingThreeFilesLoadsTheFirst) {
    const std::string first = MakeFile("first.txt", B("one"));
    const std::string second = MakeFile("second.txt", B("two"));
    const std::string third = MakeFile("third.txt", B("three"));
    auto drop = [](const std::vector<std::string>& names) {
        std::string list;
        for (const std::string& n : names) list += n + '\0';
        list += '\0';
        HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
        auto* header = static_cast<DROPFILES*>(GlobalLock(block));
        header->pFiles = sizeof(DROPFILES);
        header->fWide = FALSE;
        memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
        GlobalUnlock(block);
        SendMessageA(EditorWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    };
    auto caretField = [] {
        char text[64] = "";
        if (SendMessageA(g_statusBar, SB_GETTEXTLENGTHA, 0, 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(g_statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return std::string(text);
    };
    Type("typed");
    AnswerNextDialog(PressButton(IDNO));
    drop({first, second, third});
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(Text(), B("one"));
    EXPECT_EQ(CurrentName(), first);
    // Dropped again later, a listed file gets its caret back, and the caret
    // field shows it.
    Select(2, 2);
    drop({second});
    drop({first});
    EXPECT_EQ(Selection().cpMin, 2);
    EXPECT_EQ(caretField(), "   3:1");
    // A name longer than any path buffer is refused, not cut into another name.
    drop({folder_ + "\\" + std::string(300, 's') + ".txt", second});
    EXPECT_EQ(Text(), B("one"));
    EXPECT_EQ(CurrentName(), first);
}

// --- Recent files -------------------------------------------------------------

using DocumentsRecent = DocumentsTest;

TEST_F(DocumentsRecent, ElevenFilesReuseTheOldestSlot) {
    std::vector<std::string> paths;
    for (int i = 0; i <= 10; ++i) {
        paths.push_back(MakeFile("f" + std::to_string(i) + ".txt", B("x")));
        ASSERT_TRUE(LoadFile(paths.back().c_str()));
    }
    EXPECT_EQ(Setting("LIST"), "0987654321");
    EXPECT_EQ(Setting("0F"), paths[10]);
    EXPECT_EQ(Setting("1F"), paths[1]);
    EXPECT_STREQ(RecentItemCaption(0), "&0 f10.txt");
    EXPECT_STREQ(RecentItemCaption(9), "&9 f1.txt");

    // Reopening a listed file moves its digit to the front, slots unchanged.
    ASSERT_TRUE(LoadFile(paths[5].c_str()));
    EXPECT_EQ(Setting("LIST"), "5098764321");
    EXPECT_EQ(Setting("5F"), paths[5]);
    EXPECT_STREQ(RecentItemCaption(0), "&0 f5.txt");
    // Reopening the first changes nothing, through its menu item as well.
    Command(IDM_RECENT_FIRST);
    EXPECT_EQ(Setting("LIST"), "5098764321");
    Command(IDM_RECENT_FIRST + 2); // f9 at position 2
    EXPECT_EQ(CurrentName(), paths[9]);
    EXPECT_EQ(Setting("LIST"), "9508764321");
}

TEST_F(DocumentsRecent, SavingUnderANewNameListsTheFile) {
    Type("saved");
    AnswerNextDialog(ChooseFile(Path("saved.txt")));
    Command(IDM_SAVE_AS);
    EXPECT_EQ(Setting("LIST"), "0");
    EXPECT_EQ(Setting("0F"), Path("saved.txt"));
}

TEST_F(DocumentsRecent, DollarPathsAndDrivesThatAreNotFixedAreLoadedButNotListed) {
    ASSERT_EQ(GetDriveTypeA("R:\\"), static_cast<UINT>(DRIVE_CDROM)) << "scripts/wine-exec maps R: as a CD-ROM drive";
    const std::string cdFolder = "R:\\lk2docs" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(cdFolder.c_str(), nullptr);
    WriteBytes(cdFolder + "\\disc.txt", B("disc"));
    const bool loadedDisc = LoadFile((cdFolder + "\\disc.txt").c_str());
    const Bytes discText = Text();
    RemoveTree(cdFolder);
    EXPECT_TRUE(loadedDisc);
    EXPECT_EQ(discText, B("disc"));
    ASSERT_TRUE(LoadFile(MakeFile("a$b.txt", B("dollar")).c_str()));
    EXPECT_EQ(Text(), B("dollar"));
    EXPECT_EQ(Setting("LIST"), "");
    EXPECT_STREQ(RecentItemCaption(0), "");
}

TEST_F(DocumentsRecent, TheLongAndTheShortNameAreOneEntry) {
    const std::string path = MakeFile("a rather long file name.text", B("long"));
    char shortPath[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath), 0u);
    ASSERT_STRNE(shortPath, path.c_str());
    ASSERT_TRUE(LoadFile(path.c_str()));
    ASSERT_TRUE(LoadFile(shortPath));
    EXPECT_EQ(Setting("LIST"), "0");
    EXPECT_EQ(Setting("0F"), path);
}

TEST_F(DocumentsRecent, TheCaretIsRestoredWhereTheFileWasLeft) {
    SetRememberCaret(true);
    const std::string a = MakeFile("a.txt", B("0123456789abcdef"));
    const std::string b = MakeFile("b.txt", B("second file"));
    ASSERT_TRUE(LoadFile(a.c_str()));
    EXPECT_EQ(Selection().cpMin, 0);
    Select(7, 9);
    AnswerNextDialog(ChooseFile(b)); // leaving a through the prompt remembers its caret
    Command(IDM_OPEN);
    ASSERT_EQ(CurrentName(), b);
    EXPECT_EQ(Selection().cpMin, 0) << "a newly listed file starts at 0";
    Command(IDM_RECENT_FIRST + 1);
    ASSERT_EQ(CurrentName(), a);
    EXPECT_EQ(Selection().cpMin, 7);
    EXPECT_EQ(Selection().cpMax, 7);

    SetRememberCaret(false);
    Select(3, 3);
    Command(IDM_RECENT_FIRST + 1); // b, which remembers 0; now a remembers 3
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(CurrentName(), a);
    EXPECT_EQ(Selection().cpMin, 0);
}

TEST_F(DocumentsRecent, CaptionsShowThirteenBytesWholeAndCutFourteen) {
    ASSERT_TRUE(LoadFile(MakeFile("ABCDEFGHI.TXT", B("13")).c_str()));
    EXPECT_STREQ(RecentItemCaption(0), "&0 Abcdefghi.txt");
    ASSERT_TRUE(LoadFile(MakeFile("abcdefghij.txt", B("14")).c_str()));
    EXPECT_STREQ(RecentItemCaption(0), "&0 abcdefghij.t...");
    EXPECT_STREQ(RecentItemCaption(1), "&1 Abcdefghi.txt");
    EXPECT_STREQ(RecentItemCaption(2), "");
    // The items are owner-drawn again, to be measured anew.
    EXPECT_TRUE(GetMenuState(g_shell.menuBar, 900, MF_BYCOMMAND) & MF_OWNERDRAW);
}

TEST_F(DocumentsRecent, AFileThatNoLongerLoadsEmptiesItsSlot) {
    const std::string gone = MakeFile("gone.txt", B("gone"));
    const std::string kept = MakeFile("kept.txt", B("kept"));
    ASSERT_TRUE(LoadFile(gone.c_str()));
    ASSERT_TRUE(LoadFile(kept.c_str()));
    ASSERT_EQ(Setting("LIST"), "10");
    DeleteFileA(gone.c_str());
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(CurrentName(), kept);
    EXPECT_EQ(Text(), B("kept"));
    EXPECT_EQ(Setting("LIST"), "10");
    EXPECT_EQ(Setting("0F"), "");
    EXPECT_STREQ(RecentItemCaption(1), "");
    // The free slot is taken first by the next new file.
    ASSERT_TRUE(LoadFile(MakeFile("next.txt", B("n")).c_str()));
    EXPECT_EQ(Setting("LIST"), "01");
    EXPECT_EQ(Setting("0F"), Path("next.txt"));
}

TEST_F(DocumentsRecent, AnItemOpensTheFileItsCaptionNamesWhenAnotherInstanceChangedTheList) {
    SetRememberCaret(true);
    const std::string a = MakeFile("a.txt", B("file a"));
    const std::string b = MakeFile("b.txt", B("file b"));
    const std::string c = MakeFile("c.txt", B("file c"));
    const std::string d = MakeFile("d.txt", B("file d"));
    ASSERT_TRUE(LoadFile(a.c_str()));
    ASSERT_TRUE(LoadFile(b.c_str()));
    Select(3, 3);
    RememberCaretForRecentList();
    ASSERT_TRUE(LoadFile(c.c_str()));
    ASSERT_EQ(Setting("LIST"), "210");
    ASSERT_STREQ(RecentItemCaption(1), "&1 b.txt");
    auto openFileMenu = [] {
        SendMessageA(g_shell.mainWindow, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(g_shell.popups[0]), MAKELPARAM(0, 0));
    };
    // Another instance opens d and leaves it with its caret at 2: its slot
    // goes first, the others move down one place.
    WriteSettingString("3F", d.c_str());
    WriteSettingDword("3FC", 2);
    WriteSettingString("LIST", "3210");

    // The items still show the old list: the second one opens b, as it says,
    // with b's own caret.
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(CurrentName(), b);
    EXPECT_EQ(Selection().cpMin, 3);
    EXPECT_EQ(Setting("LIST"), "1320");

    // Opening the File menu shows the stored list, and each item opens what
    // it shows.
    openFileMenu();
    EXPECT_STREQ(RecentItemCaption(0), "&0 b.txt");
    EXPECT_STREQ(RecentItemCaption(1), "&1 d.txt");
    EXPECT_STREQ(RecentItemCaption(2), "&2 c.txt");
    EXPECT_STREQ(RecentItemCaption(3), "&3 a.txt");
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(CurrentName(), d);
    EXPECT_EQ(Text(), B("file d"));
    EXPECT_EQ(Selection().cpMin, 2);

    // A file that no longer loads empties its own slot, even when the list
    // moved it since the menu was shown.
    openFileMenu();
    ASSERT_STREQ(RecentItemCaption(3), "&3 a.txt");
    DeleteFileA(a.c_str());
    WriteSettingString("LIST", "0312");
    Command(IDM_RECENT_FIRST + 3);
    EXPECT_EQ(CurrentName(), d);
    EXPECT_EQ(Setting("0F"), "");
    EXPECT_EQ(Setting("1F"), b);
    EXPECT_EQ(Setting("2F"), c);
    EXPECT_EQ(Setting("3F"), d);
    openFileMenu();
    EXPECT_STREQ(RecentItemCaption(0), "");
    EXPECT_STREQ(RecentItemCaption(1), "&1 d.txt");
}

TEST_F(DocumentsRecent, AnEntryLongerThanAPathIsRefused) {
    const std::string kept = MakeFile("kept.txt", B("kept"));
    ASSERT_TRUE(LoadFile(kept.c_str()));
    WriteSettingString("1F", (folder_ + "\\" + std::string(300, 'q')).c_str());
    WriteSettingString("LIST", "01");
    Command(IDM_RECENT_FIRST + 1);
    EXPECT_EQ(CurrentName(), kept);
    EXPECT_EQ(Setting("1F"), "");
}

// --- Devices, locked folders and names outside the code page ---------------

using DocumentsRobust = DocumentsTest;

std::string SeenText() {
    const auto seen = TakeSeenDialogs();
    return seen.size() == 1 ? seen[0].text : "(" + std::to_string(seen.size()) + " dialogs)";
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

TEST_F(DocumentsRobust, DevicesAndPipesAreRefusedOnOpenAndOnSave) {
    const HostFolder host("lk2dev");
    ASSERT_TRUE(RunHostCommandUntil("rm -rf " + host.unix + " && mkdir " + host.unix + " && mkfifo " + host.unix +
                                        "/pipe && touch " + host.unix + "/ready",
                                    Exists, host.Path("ready")));
    const std::string kept = MakeFile("kept.txt", B("kept"));
    ASSERT_TRUE(LoadFile(kept.c_str()));
    for (const std::string& device : {std::string("Z:\\dev\\zero"), host.Path("pipe"), std::string("NUL"),
                                      Path("nul.txt"), Path("COM1")}) {
        SCOPED_TRACE(device);
        AnswerNextDialog(PressButton(IDOK));
        EXPECT_FALSE(LoadFile(device.c_str()));
        EXPECT_TRUE(StartsWith(SeenText(), device + ": ")); // the refusal names it
        EXPECT_EQ(Text(), B("kept"));
        EXPECT_EQ(CurrentName(), kept);
        // A document that got such a name is not written there either.
        Type("x");
        lstrcpynA(g_document.fileName, device.c_str(), kPathSize);
        AnswerNextDialog(PressButton(IDOK));
        Command(IDM_SAVE);
        EXPECT_TRUE(StartsWith(SeenText(), device + ": "));
        EXPECT_TRUE(Modified());
        lstrcpynA(g_document.fileName, kept.c_str(), kPathSize);
        Key(VK_BACK);
    }
    EXPECT_EQ(HostOutput(host, "test -p pipe && ls"), "host.tmp\npipe\nready\n");
    EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"kept.txt"});
    RunHostCommandUntil("rm -rf " + host.unix, Missing, host.windows);
}

TEST_F(DocumentsRobust, AFolderThatTakesNoNewFileIsSavedIntoThroughTheTemporaryFolder) {
    const HostFolder host("lk2nodes");
    // A file system with no inode left: its files can be written, no file made.
    const bool mounted = RunHostCommandUntil("umount -l " + host.unix + " 2>/dev/null; rm -rf " + host.unix + "; mkdir -p " +
                                                 host.unix + " && mount -t tmpfs -o size=1m,nr_inodes=3 tmpfs " +
                                                 host.unix + " && printf old > " + host.unix + "/letter.txt && touch " +
                                                 host.unix + "/ready",
                                             Exists, host.Path("ready"));
    if (!mounted) GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root)";
    const std::string path = host.Path("letter.txt");
    ASSERT_TRUE(LoadFile(path.c_str()));
    Type("new ");
    Command(IDM_SAVE);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(ReadBytes(path), B("new old"));
    EXPECT_FALSE(Modified());
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (const std::string& name : FilesIn(temp)) EXPECT_NE(name.rfind("~lk2", 0), 0u) << name; // copy removed

    // A new file there cannot be made: the error names it.
    const std::string other = host.Path("other.txt");
    AnswerNextDialog(ChooseFile(other));
    AnswerNextDialog(PressButton(IDOK));
    Command(IDM_SAVE_AS);
    const auto seen = TakeSeenDialogs(); // the Save As dialog, then the error
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(StartsWith(seen[1].text, other + ": ")) << seen[1].text;

    // No copy anywhere: writing in place is asked for, No keeps the file.
    char savedTemp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", savedTemp, sizeof savedTemp);
    SetEnvironmentVariableA("TMP", host.windows.c_str());
    ASSERT_TRUE(LoadFile(path.c_str()));
    Type("newer ");
    AnswerNextDialog(PressButton(IDNO));
    Command(IDM_SAVE);
    EXPECT_TRUE(StartsWith(SeenText(), path + ": "));
    EXPECT_EQ(ReadBytes(path), B("new old"));
    EXPECT_TRUE(Modified());
    AnswerNextDialog(PressButton(IDYES));
    Command(IDM_SAVE);
    EXPECT_EQ(ReadBytes(path), B("newer new old"));
    EXPECT_FALSE(Modified());
    SetEnvironmentVariableA("TMP", savedTemp[0] ? savedTemp : nullptr);
    auto files = FilesIn(host.windows);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"letter.txt", "ready"}));
    // The file dialog made the folder the current one: it is let go lazily.
    RunHostCommandUntil("umount -l " + host.unix + " && rmdir " + host.unix, Missing, host.windows);
}

TEST_F(DocumentsRobust, ANameOutsideTheCodePageOpensFromTheCommandLineAndTheDialogAndIsSavedBack) {
    const std::wstring folder(folder_.begin(), folder_.end()); // the temporary folder's name is ASCII
    const std::wstring path = folder + L"\\\u03A9mega \u263A\u4E2D.txt";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "\xEF\xE8\xF1\xFC\xEC\xEE", 6, &written, nullptr);
    CloseHandle(file);
    const auto wideBytes = [&path] {
        Bytes out;
        HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        unsigned char chunk[64];
        DWORD read = 0;
        while (in != INVALID_HANDLE_VALUE && ReadFile(in, chunk, sizeof chunk, &read, nullptr) && read > 0)
            out.append(chunk, read);
        if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
        return out;
    };

    harness::StopEditor();
    ASSERT_TRUE(harness::StartEditor((L"lork2.exe \"" + path + L"\"").c_str()));
    EXPECT_EQ(Text(), B("\xEF\xE8\xF1\xFC\xEC\xEE"));
    EXPECT_EQ(CurrentName().find('?'), std::string::npos) << CurrentName();
    char title[300];
    GetWindowTextA(g_shell.mainWindow, title, sizeof title);
    EXPECT_NE(std::string(title).find("mega "), std::string::npos) << title; // the long name, as 1251 allows
    Select(6, 6);
    Type("!");
    Command(IDM_SAVE);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(wideBytes(), B("\xEF\xE8\xF1\xFC\xEC\xEE!"));
    EXPECT_EQ(FilesIn(folder_).size(), 1u);

    // Chosen in the Open dialog: the dialog hands back "?" for what 1251 lacks.
    Command(IDM_NEW);
    AnswerNextDialog([&path](HWND dialog) {
        HWND field = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
        SetWindowTextW(field, path.c_str());
        PressButton(IDOK)(dialog);
    });
    Command(IDM_OPEN);
    EXPECT_EQ(TakeSeenDialogs().size(), 1u);
    EXPECT_EQ(Text(), B("\xEF\xE8\xF1\xFC\xEC\xEE!"));
    Select(0, 0);
    Type("?");
    Command(IDM_SAVE);
    EXPECT_TRUE(TakeSeenDialogs().empty());
    EXPECT_EQ(wideBytes(), B("?\xEF\xE8\xF1\xFC\xEC\xEE!"));

    // A name that does not exist, or a folder, still gives an untitled document.
    for (const std::wstring& missing : {folder + L"\\\u03A9 missing.txt", folder}) {
        harness::StopEditor();
        ASSERT_TRUE(harness::StartEditor((L"lork2.exe " + missing).c_str()));
        EXPECT_EQ(CurrentName(), kUntitledName);
        EXPECT_TRUE(TakeSeenDialogs().empty());
    }
}

} // namespace
