// The font of each code page chosen in the font dialog as a user fills it,
// its live preview, and the size commands.
#include "tests/wine/editor_fixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/settings.h"
#include "core/app/command_ids.h"
#include "core/dialogs/codepage_dialog_ids.h"

namespace {

using harness::AnswerNextDialog;
using harness::PressButton;

// A rich-edit control's text as the user sees it.
std::u16string ShownText(HWND control) {
    GETTEXTEX get{};
    char16_t text[1024] = {};
    get.cb = sizeof text;
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    SendMessageA(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text));
    return text;
}

// The lines of a text, whichever line ends the control reports.
std::vector<std::u16string> Lines(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

CHARFORMATA FormatOfAll(HWND control) {
    CHARRANGE all{0, -1};
    SendMessageA(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

std::string Setting(const char* name) {
    char value[300];
    ReadSettingString(name, value, sizeof value);
    return value;
}

int32_t Dword(const char* name) { return ReadSettingDword(name, -12345); }

int Selected(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }

std::string EntryText(HWND dialog, int id, int index) {
    char text[300] = "";
    if (SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0) < static_cast<LRESULT>(sizeof text))
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ItemText(HWND dialog, int id) {
    char text[300] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class FontDialog : public DialogTest {
protected:
    // The face the editor shows its text in now.
    static std::string EditorFace() {
        const CHARRANGE kept = Selection();
        const std::string face = FormatOfAll(EditorWindow()).szFaceName;
        Select(kept.cpMin, kept.cpMax);
        return face;
    }
};

TEST_F(FontDialog, ThePreviewShowsTheSampleInTheCodePageBeingEdited) {
    const std::u16string frameTop866 = u"\u250C\u2500\u2500\u2500\u2500\u2500\u2500\u2510";
    const struct {
        int command;
        const char* screenshot;
        std::u16string firstLine;
        std::u16string frameTop;
        std::u16string frameBottom;
        const char* charset;
    } cases[] = {
        {IDM_FONT_ANSI, "font-1251", u"Face кривой?", u"-------\u00AC", u"L-------", "RUSSIAN_CHARSET"},
        {IDM_FONT_OEM, "font-866", u"Face кривой?", frameTop866, u"\u2514\u2500\u2500\u2500\u2500\u2500\u2500\u2518",
         "OEM_CHARSET"},
        {IDM_FONT_KOI8, "font-koi8r", u"Face кривой?", frameTop866, u"\u2514\u2500\u2500\u2500\u2500\u2500\u2500\u2518",
         "DEFAULT_CHARSET"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.screenshot);
        std::u16string preview;
        std::string charset;
        std::string size;
        int faceSelected = 0;
        HICON icon = nullptr;
        std::string caption;
        AnswerNextDialog([&](HWND dialog) {
            preview = ShownText(GetDlgItem(dialog, IDC_FONT_PREVIEW));
            charset = ItemText(dialog, IDC_FONT_CHARSET);
            size = ItemText(dialog, IDC_FONT_SIZE);
            faceSelected = Selected(dialog, IDC_FONT_FACE);
            icon = reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
            char text[64] = "";
            GetWindowTextA(dialog, text, sizeof text);
            caption = text;
            harness::SaveScreenshot(dialog, c.screenshot);
            PressButton(IDCANCEL)(dialog);
        });
        Command(c.command);
        EXPECT_EQ(caption, "Шрифт");
        EXPECT_EQ(icon, g_shell.smallIcon);
        const std::vector<std::u16string> lines = Lines(preview);
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[0], c.firstLine);
        EXPECT_EQ(lines[1], c.frameTop);
        EXPECT_EQ(lines[6], c.frameBottom);
        EXPECT_EQ(charset, c.charset);
        EXPECT_EQ(size, "10"); // 200 twips when nothing is stored
        EXPECT_EQ(faceSelected, 0) << "no face stored: the empty entry is the current one";
    }
    // Cancel stores nothing.
    for (const char* name : {"FontW", "SizeD", "EffK", "SetW"}) EXPECT_EQ(Dword(name), -12345) << name;
}

TEST_F(FontDialog, EveryControlUpdatesThePreviewAndOkStoresAndApplies) {
    Load(B("\xC9\xCD\xCD\xBB box\r\n"));
    Command(IDM_SHOW_OEM);
    Select(1, 3);
    CHARFORMATA live{};
    AnswerNextDialog([&](HWND dialog) {
        const int face = harness::FindEntry(dialog, IDC_FONT_FACE, "DejaVu Sans Mono");
        ASSERT_GT(face, 0);
        EXPECT_EQ(EntryText(dialog, IDC_FONT_FACE, 0), "") << "the empty entry comes first";
        harness::PickEntry(dialog, IDC_FONT_FACE, face);
        harness::PickEntry(dialog, IDC_FONT_SIZE, 13); // 14 points
        harness::PickEntry(dialog, IDC_FONT_CHARSET, 1);
        PressButton(IDC_FONT_BOLD)(dialog);
        PressButton(IDC_FONT_ITALIC)(dialog);
        PressButton(IDC_FONT_ITALIC)(dialog);
        live = FormatOfAll(GetDlgItem(dialog, IDC_FONT_PREVIEW));
        PressButton(IDOK)(dialog);
    });
    Command(IDM_FONT_OEM);
    EXPECT_STREQ(live.szFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(live.yHeight, 280);
    EXPECT_TRUE(live.dwEffects & CFE_BOLD);
    EXPECT_FALSE(live.dwEffects & CFE_ITALIC);
    EXPECT_EQ(Setting("FontD"), "DejaVu Sans Mono");
    EXPECT_EQ(Dword("SizeD"), 280);
    EXPECT_EQ(Dword("EffD"), 1);
    EXPECT_EQ(Dword("SetD"), 255);
    // Applied at once to the text shown as 866, keeping the view.
    EXPECT_EQ(Selection().cpMin, 1);
    EXPECT_EQ(Selection().cpMax, 3);
    const CHARFORMATA shown = FormatOfAll(EditorWindow());
    EXPECT_STREQ(shown.szFaceName, "DejaVu Sans Mono");
    EXPECT_EQ(shown.yHeight, 280);
    EXPECT_TRUE(shown.dwEffects & CFE_BOLD);
    EXPECT_EQ(Text(), B("\xC9\xCD\xCD\xBB box\r\n"));
    EXPECT_FALSE(Modified());
}

TEST_F(FontDialog, EachCodePageKeepsItsOwnFontAndShowsItWhenSwitchedTo) {
    Type("text");
    auto choose = [](int command, const char* face) {
        AnswerNextDialog([face](HWND dialog) {
            const int entry = harness::FindEntry(dialog, IDC_FONT_FACE, face);
            ASSERT_GT(entry, 0) << face;
            harness::PickEntry(dialog, IDC_FONT_FACE, entry);
            PressButton(IDOK)(dialog);
        });
        Command(command);
    };
    // A DOS-style font for 866 chosen while 1251 is shown changes nothing on screen.
    const std::string before = EditorFace();
    choose(IDM_FONT_OEM, "Liberation Mono");
    EXPECT_EQ(EditorFace(), before);
    choose(IDM_FONT_ANSI, "Liberation Serif");
    EXPECT_EQ(EditorFace(), "Liberation Serif");
    Command(IDM_SHOW_OEM);
    EXPECT_EQ(EditorFace(), "Liberation Mono");
    Command(IDM_SHOW_ANSI);
    EXPECT_EQ(EditorFace(), "Liberation Serif");
    Command(IDM_SHOW_KOI8); // nothing chosen for KOI8-R: the fixed-pitch family
    EXPECT_EQ(FormatOfAll(EditorWindow()).bPitchAndFamily & 0xF0, FF_MODERN);
}

int CALLBACK CountFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// Whether the system has the face in the given character set.
bool SystemHasFace(const char* face, BYTE charset) {
    LOGFONTA wanted{};
    wanted.lfCharSet = charset;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    int count = 0;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(screen, &wanted, CountFamily, reinterpret_cast<LPARAM>(&count), 0);
    ReleaseDC(nullptr, screen);
    return count > 0;
}

TEST_F(FontDialog, TheFaceListHasEachCyrillicFamilyOnceInOrderAndShowsTheStoredFace) {
    std::vector<std::string> faces;
    int selected = -2;
    auto open = [&](int command) {
        AnswerNextDialog([&](HWND dialog) {
            faces.clear();
            const int count = static_cast<int>(SendDlgItemMessageA(dialog, IDC_FONT_FACE, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) faces.push_back(EntryText(dialog, IDC_FONT_FACE, i));
            selected = Selected(dialog, IDC_FONT_FACE);
            PressButton(IDCANCEL)(dialog);
        });
        Command(command);
    };
    // Nothing stored: the empty entry is the current one.
    open(IDM_FONT_ANSI);
    ASSERT_GT(faces.size(), 3u);
    EXPECT_EQ(faces[0], "");
    EXPECT_EQ(selected, 0);
    for (size_t i = 1; i < faces.size(); ++i) {
        EXPECT_NE(faces[i][0], '@') << faces[i];
        EXPECT_TRUE(SystemHasFace(faces[i].c_str(), RUSSIAN_CHARSET) || SystemHasFace(faces[i].c_str(), OEM_CHARSET))
            << faces[i] << " has no Cyrillic";
        if (i > 1) {
            EXPECT_LT(lstrcmpiA(faces[i - 1].c_str(), faces[i].c_str()), 0) << "twice or out of order";
        }
    }
    auto listed = [&](const char* face) {
        for (const std::string& f : faces)
            if (f == face) return true;
        return false;
    };
    EXPECT_TRUE(listed("Liberation Mono"));
    // A symbol font has no Cyrillic letters.
    ASSERT_TRUE(SystemHasFace("Marlett", DEFAULT_CHARSET));
    EXPECT_FALSE(listed("Marlett"));

    // The stored face is the current entry, whatever its letter case; for
    // each code page.
    WriteSettingString("FontD", "liberation mono");
    open(IDM_FONT_OEM);
    ASSERT_GT(selected, 0);
    EXPECT_EQ(faces[static_cast<size_t>(selected)], "Liberation Mono");
    WriteSettingString("FontW", "Liberation Serif");
    open(IDM_FONT_ANSI);
    ASSERT_GT(selected, 0);
    EXPECT_EQ(faces[static_cast<size_t>(selected)], "Liberation Serif");
}

TEST_F(FontDialog, AfterOkTheCaretIsDrawnAtItsPlaceInTheNewFont) {
    Load(B("some words on the first line\r\nand a second line"));
    SetFocus(EditorWindow());
    Select(40, 40);
    harness::Pump();
    auto caretMatchesText = [] {
        POINT caret{};
        GetCaretPos(&caret);
        POINTL at{};
        SendMessageA(EditorWindow(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), Selection().cpMin);
        return std::abs(caret.x - at.x) <= 1 && std::abs(caret.y - at.y) <= 1;
    };
    ASSERT_TRUE(caretMatchesText());
    for (int points : {20, 8}) {
        AnswerNextDialog([&](HWND dialog) {
            harness::PickEntry(dialog, IDC_FONT_SIZE, points - 1);
            PressButton(IDOK)(dialog);
        });
        Command(IDM_FONT_ANSI);
        harness::Pump();
        // Read before any key or selection could place it again.
        EXPECT_EQ(Selection().cpMin, 40);
        EXPECT_TRUE(caretMatchesText()) << points << " points";
        EXPECT_EQ(FormatOfAll(EditorWindow()).yHeight, points * 20);
        Select(40, 40);
    }
}

TEST_F(FontDialog, SizeCommandsStopAt26And4PointsAndTheDialogKeepsAnUnlistedSize) {
    for (int i = 0; i < 5; ++i) Command(IDM_SIZE_UP);
    EXPECT_EQ(Dword("SizeW"), 300);
    WriteSettingDword("SizeW", 520);
    Command(IDM_SIZE_UP);
    EXPECT_EQ(Dword("SizeW"), 520);
    WriteSettingDword("SizeW", 80);
    Command(IDM_SIZE_DOWN);
    EXPECT_EQ(Dword("SizeW"), 80);

    // 26 points reached with Ctrl+plus: the list shows no size, and "ОК"
    // keeps 26 points instead of storing nothing.
    WriteSettingDword("SizeW", 500);
    harness::PressKey(EditorWindow(), VK_OEM_PLUS, true);
    ASSERT_EQ(Dword("SizeW"), 520);
    int sizeSelected = 0;
    AnswerNextDialog([&](HWND dialog) {
        sizeSelected = Selected(dialog, IDC_FONT_SIZE);
        PressButton(IDOK)(dialog);
    });
    Command(IDM_FONT_ANSI);
    EXPECT_EQ(sizeSelected, -1);
    EXPECT_EQ(Dword("SizeW"), 520);
    EXPECT_EQ(FormatOfAll(EditorWindow()).yHeight, 520);
}

TEST_F(FontDialog, AVanishedFaceOrUnofferedSetIsReplacedAndALongFaceIsCut) {
    WriteSettingString("FontK", "A Face That Left The System");
    WriteSettingDword("SetK", 0);
    int faceSelected = 0;
    int setSelected = 0;
    AnswerNextDialog([&](HWND dialog) {
        faceSelected = Selected(dialog, IDC_FONT_FACE);
        setSelected = Selected(dialog, IDC_FONT_CHARSET);
        PressButton(IDOK)(dialog);
    });
    Command(IDM_FONT_KOI8);
    EXPECT_EQ(faceSelected, -1);
    EXPECT_EQ(setSelected, -1);
    EXPECT_EQ(Setting("FontK"), "");
    EXPECT_EQ(Dword("SetK"), 1); // KOI8-R's own default

    // A face name longer than the font record holds (31 bytes and a NUL).
    const std::string longFace = "Face Name Far Longer Than Any Font Record";
    AnswerNextDialog([&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_FONT_FACE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longFace.c_str()));
        harness::PickEntry(dialog, IDC_FONT_FACE, harness::FindEntry(dialog, IDC_FONT_FACE, longFace.c_str()));
        PressButton(IDOK)(dialog);
    });
    Command(IDM_FONT_KOI8);
    EXPECT_EQ(Setting("FontK"), longFace.substr(0, 31));
}

} // namespace
