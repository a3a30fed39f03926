// Date and time, Run, About and the help menu's addresses, driven as a user
// drives them; Run and the addresses go through the shell of the test prefix.
#include "tests/wine/editor_fixture.h"

#include <tlhelp32.h>

#include <initializer_list>
#include <map>
#include <optional>
#include <string>

#include "base/globals.h"
#include "core/app/command_ids.h"
#include "core/app/menu_tables.h"
#include "dialogs/small_commands.h"
#include "document/documents.h"
#include "lork2_version.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

std::string Formatted(bool date) {
    char text[300] = "";
    if (date)
        GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
    else
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text, sizeof text);
    return text;
}

std::string ReadFileText(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
    CloseHandle(file);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// Waits up to ten seconds for a file to hold `lines` lines, pumping the
// editor's messages meanwhile; then a little longer, so that a line that
// should not come has its chance.
std::string WaitForLines(const std::string& path, int lines) {
    std::string text;
    for (int i = 0; i < 200; ++i) {
        harness::Pump();
        text = ReadFileText(path);
        int n = 0;
        for (char c : text) n += c == '\n';
        if (n >= lines) break;
        Sleep(50);
    }
    Sleep(300);
    return ReadFileText(path);
}

class SmallCommands : public DialogTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        folder_ = std::string(temp) + "lk2small" + std::to_string(GetCurrentProcessId()) + "_" +
                  std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        harness::TakeSeenDialogs();
    }
    void TearDown() override {
        DialogTest::TearDown();
        for (const std::string& name : made_) DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Path(const std::string& name) const { return folder_ + "\\" + name; }
    std::string MakeFile(const std::string& name, const std::string& text) {
        WriteFileText(Path(name), text);
        made_.push_back(name);
        return Path(name);
    }
    std::string folder_;
    std::vector<std::string> made_;
};

using DateTime = SmallCommands;

TEST_F(DateTime, ReplacesTheSelectionAndEachPartIsOneUndoStep) {
    Load(B("before [selected] after"));
    Select(7, 17);
    const std::string date = Formatted(true);
    const std::string timeBefore = Formatted(false);
    Command(IDM_DATE_TIME);
    const std::string timeAfter = Formatted(false);
    ASSERT_FALSE(date.empty());
    const std::string text(reinterpret_cast<const char*>(Text().c_str()));
    const std::string head = "before " + date + " ";
    ASSERT_EQ(text.substr(0, head.size()), head);
    const std::string time = text.substr(head.size(), text.size() - head.size() - 6);
    EXPECT_TRUE(time == timeBefore || time == timeAfter) << time;
    EXPECT_EQ(text.substr(text.size() - 6), " after");
    EXPECT_EQ(Selection().cpMin, static_cast<LONG>(text.size() - 6)) << "the caret after the time";
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B(("before " + date + "  after").c_str()));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), B("before [selected] after"));
}

constexpr char kLongMarker[] = "ABCDEFGHIJKLMNO";

// The user's time format replaced for one test, and put back. A run that
// ended inside the test left its markers in the prefix: the prefix's own
// values come back first.
class UserTimeFormat {
public:
    UserTimeFormat() {
        char morning[128] = "";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_S1159, morning, sizeof morning);
        if (std::string(morning) == kLongMarker) {
            Set(LOCALE_S1159, "AM");
            Set(LOCALE_S2359, "PM");
            Set(LOCALE_STIMEFORMAT, "HH:mm:ss");
        }
        for (auto& [type, value] : saved_) {
            char text[128] = "";
            GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
            value = text;
        }
    }
    ~UserTimeFormat() {
        for (const auto& [type, value] : saved_) SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str());
    }
    UserTimeFormat(const UserTimeFormat&) = delete;
    UserTimeFormat& operator=(const UserTimeFormat&) = delete;
    bool Set(LCTYPE type, const std::string& value) { return SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value.c_str()); }

private:
    std::pair<LCTYPE, std::string> saved_[3] = {{LOCALE_S1159, ""}, {LOCALE_S2359, ""}, {LOCALE_STIMEFORMAT, ""}};
};

TEST_F(DateTime, NothingIsInsertedOrRecordedWhenTheTimeCannotBeFormatted) {
    Load(B("keep [this]"));
    Select(5, 11);
    Type("x");
    Select(5, 6);
    std::map<LCTYPE, std::string> before;
    int count = -1;
    {
        UserTimeFormat format;
        for (LCTYPE type : {LOCALE_S1159, LOCALE_S2359, LOCALE_STIMEFORMAT}) {
            char text[128] = "";
            GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
            before[type] = text;
        }
        // Morning and afternoon markers of 15 characters, 26 times in the
        // time: longer than any buffer of the program.
        ASSERT_TRUE(format.Set(LOCALE_S1159, kLongMarker));
        ASSERT_TRUE(format.Set(LOCALE_S2359, kLongMarker));
        std::string picture = "tt";
        for (int i = 0; i < 25; ++i) picture += " tt";
        ASSERT_TRUE(format.Set(LOCALE_STIMEFORMAT, picture));
        char probe[261];
        count = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, probe, sizeof probe);
        Command(IDM_DATE_TIME);
    }
    for (LCTYPE type : {LOCALE_S1159, LOCALE_S2359, LOCALE_STIMEFORMAT}) {
        char now[128] = "";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, type, now, sizeof now);
        EXPECT_EQ(now, before[type]) << "the prefix's format is put back";
    }
    ASSERT_EQ(count, 0) << "the system formatted the time after all";
    EXPECT_EQ(Text(), B("keep x"));
    Command(IDM_UNDO); // the typing, not an empty date
    EXPECT_EQ(Text(), B("keep [this]"));
}

using RunDocumentCommand = SmallCommands;

TEST_F(RunDocumentCommand, OfferedForFilesThatAreNotPlainText) {
    EXPECT_TRUE(harness::MenuItemState(IDM_RUN) & MF_GRAYED) << "untitled";
    for (const char* name : {"notes.TXT", "run.bat", "a.md", "page.htm"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(LoadFile(MakeFile(name, "x").c_str()));
        const bool grey = (harness::MenuItemState(IDM_RUN) & MF_GRAYED) != 0;
        EXPECT_EQ(grey, std::string(name) == "notes.TXT");
    }
}

TEST_F(RunDocumentCommand, AModifiedDocumentIsOfferedForSavingFirst) {
    const std::string log = Path("ran.log");
    made_.push_back("ran.log");
    const std::string bat = MakeFile("run.bat", "@echo saved>>\"" + log + "\"\r\n");
    ASSERT_TRUE(LoadFile(bat.c_str()));
    Select(0, TextLength(EditorWindow()));
    Type("@echo changed>>\"");
    Type(log.c_str());
    Type("\"");
    ASSERT_TRUE(Modified());

    AnswerNextDialog(PressButton(IDCANCEL)); // nothing runs
    Command(IDM_RUN);
    AnswerNextDialog(PressButton(IDNO)); // runs the file as last saved
    Command(IDM_RUN);
    EXPECT_EQ(WaitForLines(log, 1), "saved\r\n");
    AnswerNextDialog(PressButton(IDYES)); // saves, then runs
    Command(IDM_RUN);
    EXPECT_EQ(WaitForLines(log, 2), "saved\r\nchanged\r\n");
    EXPECT_FALSE(Modified());
    EXPECT_EQ(harness::TakeSeenDialogs().size(), 3u);
    // Unchanged now: no question, it simply runs.
    Command(IDM_RUN);
    EXPECT_EQ(WaitForLines(log, 3), "saved\r\nchanged\r\nchanged\r\n");
    EXPECT_TRUE(harness::TakeSeenDialogs().empty());
}

using About = SmallCommands;

TEST_F(About, ShowsNameVersionMottoMakersAndAddresses) {
    AnswerNextDialog([](HWND dialog) {
        harness::SaveScreenshot(dialog, "about");
        PressButton(IDOK)(dialog);
    });
    Command(IDM_ABOUT);
    const auto seen = harness::TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    const std::string name = std::string("LORK2-") + LORK2_VERSION;
    EXPECT_NE(seen[0].caption.find(name), std::string::npos) << seen[0].caption;
    const std::string& text = seen[0].text;
    EXPECT_NE(text.find("Три кириллические кодировки в одном редакторе"), std::string::npos) << text;
    EXPECT_NE(text.find("Разработчики LORK2"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(CommandCaption(IDM_WEB_PAGE))), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(CommandCaption(IDM_MAIL)).substr(7)), std::string::npos) << text;
}

// The shell's handlers of web and mail addresses, replaced for one test by a
// command that writes the address it is given into a file.
class AddressHandlers {
public:
    explicit AddressHandlers(const std::string& log,
                             std::initializer_list<const char*> classes = {"https", "http", "mailto"}) {
        for (const char* scheme : classes) {
            const std::string key = std::string(scheme) + "\\shell\\open\\command";
            saved_.push_back({key, harness::ReadClassesDefault(key)});
            Write(key, "C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + log + "\"");
        }
    }
    ~AddressHandlers() {
        for (const auto& [key, value] : saved_) {
            if (value)
                Write(key, *value);
            else
                RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
        }
    }
    AddressHandlers(const AddressHandlers&) = delete;
    AddressHandlers& operator=(const AddressHandlers&) = delete;

private:
    static void Write(const std::string& key, const std::string& value) {
        HKEY k = nullptr;
        if (RegCreateKeyA(HKEY_CLASSES_ROOT, key.c_str(), &k) != ERROR_SUCCESS) return;
        RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(About, TheWebAndMailCommandsOpenTheirAddresses) {
    const std::string log = Path("addresses.log");
    made_.push_back("addresses.log");
    AddressHandlers handlers(log);
    Command(IDM_WEB_PAGE);
    ASSERT_EQ(WaitForLines(log, 1), std::string(CommandCaption(IDM_WEB_PAGE)) + "\r\n");
    Command(IDM_MAIL);
    EXPECT_EQ(WaitForLines(log, 2),
              std::string(CommandCaption(IDM_WEB_PAGE)) + "\r\n" + std::string(CommandCaption(IDM_MAIL)) + "\r\n");
}

using Help = SmallCommands;

// Ends the help engine the test started (its question included), waiting up
// to five seconds for it to come up; false when none did.
bool EndHelpEngine() {
    for (int round = 0; round < 100; ++round) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof entry;
        bool ended = false;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
            if (lstrcmpiA(entry.szExeFile, "winhlp32.exe") != 0) continue;
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (!process) continue;
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
            ended = true;
        }
        CloseHandle(snapshot);
        if (ended) return true;
        harness::Pump();
        Sleep(50);
    }
    return false;
}

// The dialogs seen once the help thread's answer is back (up to ten seconds).
std::vector<harness::SeenDialog> DialogsAfterHelp() {
    std::vector<harness::SeenDialog> seen;
    for (int round = 0; round < 500 && seen.empty(); ++round, Sleep(20)) {
        harness::Pump();
        seen = harness::TakeSeenDialogs();
    }
    return seen;
}

TEST_F(Help, F1OpensTheHelpFileBesideTheProgramAndTheEditorKeepsAnswering) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string beside(exe);
    beside.resize(beside.rfind('\\') + 1);
    const std::string page = beside + kHelpPage;
    const std::string winHelp = beside + kWinHelpFile;
    DeleteFileA(page.c_str());
    DeleteFileA(winHelp.c_str());

    // No help installed: a message of the program's own, which says so.
    AnswerNextDialog(PressButton(IDOK));
    Key(VK_F1);
    auto seen = harness::TakeSeenDialogs();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find(kHelpPage), std::string::npos) << seen[0].text;

    // The page opens in the browser the shell names for it.
    WriteFileText(page, "<html></html>");
    const std::string log = Path("help.log");
    made_.push_back("help.log");
    const std::optional<std::string> pageClass = harness::ReadClassesDefault(".html");
    RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "lork2.testpage", 14);
    {
        AddressHandlers browser(log, {"lork2.testpage"});
        Key(VK_F1);
        EXPECT_EQ(WaitForLines(log, 1), page + "\r\n");
    }
    if (pageClass)
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, pageClass->c_str(), static_cast<DWORD>(pageClass->size()));
    else
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");

    // Under Wine's browser launcher with no browser it could start: a
    // message, which gives the page's path.
    HKEY browsers = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", &browsers), ERROR_SUCCESS);
    RegSetValueExA(browsers, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>("lork2-no-browser"), 17);
    AnswerNextDialog(PressButton(IDOK));
    Key(VK_F1);
    seen = DialogsAfterHelp();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find(page), std::string::npos) << seen[0].text;
    // The program named for pages is not there: the shell fails, and the
    // message gives the path all the same.
    RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "lork2.testpage", 14);
    RegSetValueA(HKEY_CLASSES_ROOT, "lork2.testpage\\shell\\open\\command", REG_SZ,
                 "C:\\lork2-nowhere\\browser.exe %1", 31);
    AnswerNextDialog(PressButton(IDOK));
    Key(VK_F1);
    seen = DialogsAfterHelp();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].text.find(page), std::string::npos) << seen[0].text;
    EXPECT_EQ(seen[0].text.find("xdg-utils"), std::string::npos) << seen[0].text;
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "lork2.testpage\\shell\\open\\command");
    if (pageClass)
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, pageClass->c_str(), static_cast<DWORD>(pageClass->size()));
    else
        RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");
    RegDeleteValueA(browsers, "Browsers");
    RegCloseKey(browsers);

    // A WinHelp file goes to the help engine; whatever the engine asks, the
    // editor goes on taking keys and commands meanwhile.
    WriteFileText(winHelp, "not a help file");
    Load(B("text"));
    Key(VK_F1);
    const DWORD start = GetTickCount();
    Select(4, 4);
    Type(" typed");
    Command(IDM_SELECT_ALL);
    harness::Pump();
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(Text(), B("text typed"));
    EXPECT_EQ(Selection().cpMax, 10);
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
    EXPECT_TRUE(EndHelpEngine()) << "the WinHelp file never reached the help engine";
    DeleteFileA(page.c_str());
    DeleteFileA(winHelp.c_str());
}

} // namespace
