// The repair of garbled text, answered as a user does: the readings, the
// preview, OK and Cancel. The garbled texts are made by the system's own
// code-page conversions, the way the wrong programs made them.
#include "tests/wine/editor_fixture.h"

#include <string>

#include "core/app/command_ids.h"
#include "core/codepage/dialog_ids.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

Bytes Encode(const std::wstring& text, UINT codePage) {
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return B(out.data(), out.size());
}

std::wstring Decode(const Bytes& bytes, UINT codePage) {
    const auto* p = reinterpret_cast<const char*>(bytes.data());
    const int n = MultiByteToWideChar(codePage, 0, p, static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, p, static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

// What the dialog showed when it opened.
struct Shown {
    int readings = 0;
    int selected = -1;
    std::string verdict;
    std::wstring preview;
};

harness::DialogAnswer Look(Shown& shown, int button, const char* screenshot = nullptr) {
    return [&shown, button, screenshot](HWND dialog) {
        shown.readings = static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCOUNT, 0, 0));
        shown.selected = static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCURSEL, 0, 0));
        char verdict[256] = "";
        GetDlgItemTextA(dialog, IDC_REPAIR_VERDICT, verdict, sizeof verdict);
        shown.verdict = verdict;
        wchar_t preview[512] = L"";
        GetWindowTextW(GetDlgItem(dialog, IDC_REPAIR_PREVIEW), preview, 512);
        shown.preview = preview;
        if (screenshot) harness::SaveScreenshot(dialog, screenshot);
        if (button == IDCANCEL) {
            harness::PostKey(GetFocus() ? GetFocus() : dialog, VK_ESCAPE);
        } else {
            PressButton(button)(dialog);
        }
    };
}

class RepairDialog : public DialogTest {};

TEST_F(RepairDialog, GarbledTextComesBackAsOneUndoStepAndCleanTextStays) {
    const std::wstring letter = L"«Привет, мир!» Это письмо пришло в чужой кодировке, и его надо вернуть.\r\n"
                                L"Вторая строка письма: всё ещё по-русски, с буквами ё и щ.\r\n";
    const Bytes ansi = Encode(letter, 1251);

    // UTF-8 shown as 866: the quotation marks are not in 866, so the text
    // goes into 1251 and the display follows.
    Command(IDM_SHOW_OEM);
    const Bytes utf8 = Encode(letter, CP_UTF8);
    Load(utf8);
    Shown shown;
    AnswerNextDialog(Look(shown, IDOK, "repair"));
    Command(IDM_REPAIR_TEXT);
    EXPECT_GE(shown.readings, 2);
    EXPECT_LE(shown.readings, 5);
    EXPECT_EQ(shown.selected, 0);
    EXPECT_EQ(shown.preview.substr(0, 20), letter.substr(0, 20));
    EXPECT_EQ(Text(), ansi);
    EXPECT_EQ(DisplayCodePage(), 0);
    EXPECT_TRUE(Modified());
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), utf8);
    EXPECT_EQ(DisplayCodePage(), 1);

    // Cancel and Escape change nothing.
    Load(utf8);
    AnswerNextDialog(PressButton(IDCANCEL));
    Command(IDM_REPAIR_TEXT);
    AnswerNextDialog(Look(shown, IDCANCEL));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(Text(), utf8);
    EXPECT_EQ(DisplayCodePage(), 1);
    EXPECT_FALSE(Modified());
    const std::string garbledVerdict = shown.verdict;

    // A KOI8-R mail opened as 1251 and saved as UTF-8, shown as 1251: it
    // comes back in 1251 (without the quotation marks KOI8-R lacks).
    Command(IDM_SHOW_ANSI);
    const std::wstring mail = letter.substr(1, 12) + letter.substr(14);
    const Bytes mangled = Encode(Decode(Encode(mail, 20866), 1251), CP_UTF8);
    Load(mangled);
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(Text(), Encode(mail, 1251));
    EXPECT_EQ(DisplayCodePage(), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), mangled);

    // A clean text reads best as it stands: the dialog says so, OK changes
    // nothing and leaves nothing to undo.
    Load(ansi);
    ClearUndoHistory();
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    EXPECT_EQ(shown.selected, 0);
    EXPECT_NE(shown.verdict, garbledVerdict);
    EXPECT_NE(shown.verdict.find("уже"), std::string::npos) << shown.verdict;
    EXPECT_EQ(shown.preview.substr(0, 20), letter.substr(0, 20));
    EXPECT_EQ(Text(), ansi);
    EXPECT_FALSE(Modified());
    EXPECT_TRUE(UndoHistoryEmpty());

    // A selection is repaired in place, in the display code page; the rest
    // of the text is not touched.
    const Bytes before = Encode(L"Тема: ", 1251);
    const Bytes after = Encode(L"\r\nПодпись: Иван", 1251);
    const Bytes garbled = Encode(mail.substr(0, 60), CP_UTF8);
    Load(before + garbled + after);
    Select(static_cast<int32_t>(before.size()), static_cast<int32_t>(before.size() + garbled.size()));
    AnswerNextDialog(Look(shown, IDOK));
    Command(IDM_REPAIR_TEXT);
    const Bytes repaired = Encode(mail.substr(0, 60), 1251);
    EXPECT_EQ(Text(), before + repaired + after);
    EXPECT_EQ(Selection().cpMin, static_cast<int32_t>(before.size()));
    EXPECT_EQ(Selection().cpMax, static_cast<int32_t>(before.size() + repaired.size()));
    EXPECT_EQ(DisplayCodePage(), 0);
    Command(IDM_UNDO);
    EXPECT_EQ(Text(), before + garbled + after);
    EXPECT_EQ(harness::UnexpectedDialogs(), 0);
}

} // namespace
