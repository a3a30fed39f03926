// The repair of garbled text, answered as a user does. The garbled texts are
// made by the system's own code-page conversions, as the wrong programs made them.
#include "tests/wine/editor_fixture.h"

#include <string>

#include "base/globals.h"
#include "core/app/command_ids.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "document/documents.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

// Text through a code page of the system's, and bytes read in one.
Bytes Encode(const std::wstring& text, UINT codePage) {
    std::string out(text.size() * 4, '\0');
    out.resize(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                   static_cast<int>(out.size()), nullptr, nullptr));
    return B(out.data(), out.size());
}
std::wstring Decode(const Bytes& bytes, UINT codePage) {
    std::wstring out(bytes.size(), L'\0');
    out.resize(MultiByteToWideChar(codePage, 0, reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<int>(bytes.size()), out.data(), static_cast<int>(out.size())));
    return out;
}

// What the dialog showed when it opened; then the button, or Escape.
struct Shown {
    int readings = 0;
    int selected = -1;
    char verdict[256] = "";
    wchar_t preview[512] = L"";
};
harness::DialogAnswer Look(Shown& shown, int button, const char* screenshot = nullptr) {
    return [&shown, button, screenshot](HWND dialog) {
        shown.readings = static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCOUNT, 0, 0));
        shown.selected = static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCURSEL, 0, 0));
        GetDlgItemTextA(dialog, IDC_REPAIR_VERDICT, shown.verdict, sizeof shown.verdict);
        GetWindowTextW(GetDlgItem(dialog, IDC_REPAIR_PREVIEW), shown.preview, 512);
        if (screenshot) harness::SaveScreenshot(dialog, screenshot);
        if (button == IDCANCEL) harness::PostKey(GetFocus() ? GetFocus() : dialog, VK_ESCAPE);
        else PressButton(button)(dialog);
    };
}

class RepairDialog : public DialogTest {};

TEST_F(RepairDialog, GarbledTextComesBackAsOneUndoStepAndCleanTextStays) {
    const std::wstring letter = L"«Привет, мир!» Это письмо пришло в чужой кодировке, и его надо вернуть.\r\n"
                                L"Вторая строка письма: всё ещё по-русски, с буквами ё и щ.\r\n";
    const Bytes ansi = Encode(letter, 1251);
    // UTF-8 shown as 866: 866 has no quotation marks, so 1251 takes the text and the display.
    Command(IDM_SHOW_OEM);
    const Bytes utf8 = Encode(letter, CP_UTF8);
    Load(utf8);
    Shown shown;
    AnswerNextDialog(Look(shown, IDOK, "repair"));
    Command(IDM_REPAIR_TEXT);
    EXPECT_TRUE(shown.readings >= 2 && shown.readings <= 5) << shown.readings;
    EXPECT_EQ(shown.selected, 0);
    EXPECT_EQ(std::wstring(shown.preview).substr(0, 20), letter.substr(0, 20));
    EXPECT_EQ(std::string(shown.verdict).find("уже"), std::string::npos);
    EXPECT_EQ(Text(), ansi);
    EXPECT_EQ(DisplayCodePage(), 0);
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), utf8);
    EXPECT_EQ(DisplayCodePage(), 1);
    // Escape changes nothing.
    Load(utf8);
    AnswerNextDialog(Look(shown, IDCANCEL));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(Text(), utf8);
    EXPECT_EQ(DisplayCodePage(), 1);
    EXPECT_FALSE(Modified());

    // A KOI8-R mail opened as 1251 and saved as UTF-8 comes back in 1251.
    Command(IDM_SHOW_ANSI);
    const std::wstring mail = letter.substr(1, 12) + letter.substr(14); // KOI8-R has no quotation marks
    const Bytes mangled = Encode(Decode(Encode(mail, 20866), 1251), CP_UTF8);
    Load(mangled);
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(Text(), Encode(mail, 1251));
    EXPECT_EQ(DisplayCodePage(), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), mangled);

    // A clean text: the dialog (Ctrl+Shift+R) says it reads best already; OK changes nothing.
    Load(ansi);
    ClearUndoHistory();
    AnswerNextDialog(Look(shown, IDOK));
    Key('R', true, true);
    EXPECT_NE(std::string(shown.verdict).find("уже"), std::string::npos) << shown.verdict;
    EXPECT_EQ(std::wstring(shown.preview).substr(0, 20), letter.substr(0, 20));
    EXPECT_EQ(Text(), ansi);
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());

    // A selection is repaired in place; the rest of the text is not touched.
    const Bytes before = Encode(L"Тема: ", 1251);
    const Bytes after = Encode(L"\r\nПодпись: Иван", 1251);
    const Bytes garbled = Encode(mail.substr(0, 60), CP_UTF8);
    const Bytes repaired = Encode(mail.substr(0, 60), 1251);
    const auto at = static_cast<int32_t>(before.size());
    Load(before + garbled + after);
    Select(at, at + static_cast<int32_t>(garbled.size()));
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(Text(), before + repaired + after);
    EXPECT_EQ(Selection().cpMin, at);
    EXPECT_EQ(Selection().cpMax, at + static_cast<int32_t>(repaired.size()));
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), before + garbled + after);
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

// Paragraphs from different sources: a clean 1251 one stays, a UTF-8 one
// (shown as 1251) and UTF-8 read as 1252 and saved as UTF-8 come back; the
// preview starts at the first one repaired. The garbled lines were made by
//   python3 -c "print('Вторая ...'.encode('utf-8').decode('cp1251'))" (and 'cp1252')
TEST_F(RepairDialog, ParagraphsGarbledDifferentWaysComeBackInOneStep) {
    const std::wstring clean = L"Это письмо пришло в чужой кодировке, и его надо вернуть.\r\n";
    const std::wstring second = L"Вторая строка письма: всё ещё по-русски, с буквами ё и щ.\r\n";
    const std::wstring third = L"Третий абзац пришёл по почте от друга и был прочитан криво.\r\n";
    const std::wstring secondAs1251 = L"Р’С‚РѕСЂР°СЏ СЃС‚СЂРѕРєР° РїРёСЃСЊРјР°: РІСЃС‘ РµС‰С‘ РїРѕ-СЂСѓСЃСЃРєРё, СЃ Р±СѓРєРІР°РјРё С‘ Рё С‰.\r\n";
    const std::wstring thirdAs1252 = L"Ð¢Ñ€ÐµÑ‚Ð¸Ð¹ Ð°Ð±Ð·Ð°Ñ† Ð¿Ñ€Ð¸ÑˆÑ‘Ð» Ð¿Ð¾ Ð¿Ð¾Ñ‡Ñ‚Ðµ Ð¾Ñ‚ Ð´Ñ€ÑƒÐ³Ð° Ð¸ Ð±Ñ‹Ð» Ð¿Ñ€Ð¾Ñ‡Ð¸Ñ‚Ð°Ð½ ÐºÑ€Ð¸Ð²Ð¾.\r\n";
    const Bytes garbled = Encode(clean, 1251) + Encode(secondAs1251, 1251) + Encode(thirdAs1252, CP_UTF8);
    Load(garbled);
    Shown shown;
    AnswerNextDialog(Look(shown, IDOK, "repair_parts"));
    Command(IDM_REPAIR_TEXT);
    EXPECT_STREQ(shown.verdict, "2 из 3 абзацев восстановлены; ОК восстановит текст.");
    EXPECT_EQ(std::wstring(shown.preview).substr(0, 20), second.substr(0, 20));
    EXPECT_EQ(Text(), Encode(clean + second + third, 1251));
    EXPECT_EQ(DisplayCodePage(), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), garbled);
    EXPECT_TRUE(UndoHistoryEmpty());
}

// 1251 read as 1252 and saved as UTF-8 opens as a UTF-8 document whose
// letters no display code page holds; its characters are repaired, and it
// saves as UTF-8.
//   python3 -c "print('Привет, мир'.encode('cp1251').decode('cp1252'))"
TEST_F(RepairDialog, TextThatWasUtf8IsSavedAsUtf8) {
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof folder, folder), 0u);
    const std::string path = std::string(folder) + "lk2repair" + std::to_string(GetCurrentProcessId()) + ".txt";
    const Bytes file = Encode(L"Ïðèâåò, ìèð", CP_UTF8);
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(handle);
    ASSERT_TRUE(LoadFile(path.c_str()));
    EXPECT_EQ(g_document.encoding, FileEncoding::Utf8);
    Shown shown;
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(g_document.encoding, FileEncoding::Utf8);
    EXPECT_STREQ(g_document.note, "");
    EXPECT_EQ(Text(), Encode(L"Привет, мир", 1251));
    Key('S', true);
    EXPECT_EQ(harness::ReadFileBytes(path), Encode(L"Привет, мир", CP_UTF8));
    // Undo brings the characters back as they were.
    Command(IDM_UNDO);
    Key('S', true);
    EXPECT_EQ(harness::ReadFileBytes(path), file);
    DeleteFileA(path.c_str());
}

} // namespace
