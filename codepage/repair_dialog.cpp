#include "codepage/repair_dialog.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/globals.h"
#include "base/heap_block.h"
#include "base/messages.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "core/app/number_words.h"
#include "core/app/setting_names.h"
#include "core/charset/char_map.h"
#include "core/repair/repair.h"
#include "core/unicode/unicode_file.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "editor/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"
#include "editor/undo.h"

namespace {

// The preview shows some lines of the text: at most this much of it.
constexpr std::size_t kPreviewSize = 4096;
// How much of the whole text the dialog repairs to count its paragraphs and
// find the first one repaired: enough for most texts, and little enough
// that the dialog opens at once on a long one.
constexpr int32_t kCountedSize = 1024 * 1024;
// The repair by parts is fed the text in blocks of this size.
constexpr std::size_t kPartsBlock = 1024 * 1024;

// What the dialog shows and what it chose. The readings are found from the
// start of the range alone (the sample); for the whole text, its start is
// also repaired part by part for the verdict and the preview.
struct RepairChoice {
    std::vector<unsigned char> head; // the whole text's first kCountedSize bytes, or the selection's sample
    std::size_t sampleLength = 0;    // the first bytes of `head` the readings are found on
    bool headIsAll = true;           // `head` holds the whole range
    std::vector<RepairReading> readings;
    int display = 0;
    // What the text is read as it stands: the display code page, or the
    // characters of a Unicode document with foreign ones, as UTF-8 (`head`
    // is then that UTF-8, and so is the repaired text).
    int standing = 0;
    bool wholeText = true;
    int chosen = -1;
};

RepairChoice* ChoiceOf(HWND dialog) { return reinterpret_cast<RepairChoice*>(ModalDialogParam(dialog)); }

// The reading changes nothing: the bytes decoded as they are shown.
bool ReadsAsItStands(const RepairReading& reading, int standing) {
    return IsPlainReading(reading) && reading.saved == standing;
}

// A text repaired part by part, and how its parts read.
struct PartsResult {
    std::vector<unsigned char> text;
    int target = 0;
    std::size_t parts = 0;   // paragraphs with a byte above ASCII
    std::size_t changed = 0; // of them, those repaired
    long long firstChanged = -1;
};

// One pass of the repair by parts into `target`; returns the substitutes it wrote.
std::size_t RepairPartsInto(const std::vector<RepairReading>& readings, int display, int target,
                            const unsigned char* text, std::size_t n, PartsResult& result) {
    RepairByParts parts(readings, display, target);
    result.text.clear();
    result.text.reserve(n);
    std::size_t at = 0;
    do {
        const std::size_t k = std::min(kPartsBlock, n - at);
        parts.Feed(text + at, k, at + k == n, result.text);
        at += k;
    } while (at < n);
    result.target = target;
    result.parts = parts.parts();
    result.changed = parts.changed();
    result.firstChanged = parts.firstChanged();
    return parts.substitutes();
}

// The text repaired part by part, each paragraph taking of the readings the
// one that reads it best (`chosen` first): in the display code page when
// that holds the whole result, else in the first of 1251, 866 and KOI8-R
// that does, else in the display code page with substitutes (the rule of
// RepairTargetCodePage, over what the parts give).
PartsResult RepairParts(const RepairChoice& choice, const RepairReading& chosen, const unsigned char* text,
                        std::size_t n) {
    const std::vector<RepairReading> readings =
        FindPartReadings(choice.head.data(), choice.sampleLength, choice.standing, chosen);
    PartsResult result;
    const int standing = choice.standing;
    if (RepairPartsInto(readings, standing, standing, text, n, result) == 0 || standing == kEncodingUtf8) return result;
    for (int cp = 0; cp < kDisplayCodePageCount; ++cp) {
        PartsResult other;
        if (cp != standing && RepairPartsInto(readings, standing, cp, text, n, other) == 0) return other;
    }
    return result;
}

// The first lines of `text`: cut after the last line feed of its first
// kPreviewSize bytes (a line feed is never part of a longer sequence in any
// of the readings), or at kPreviewSize when there is none.
std::size_t PreviewLength(const unsigned char* text, std::size_t n) {
    if (n <= kPreviewSize) return n;
    for (std::size_t i = kPreviewSize; i > 0; --i)
        if (text[i - 1] == '\n') return i;
    return kPreviewSize;
}

// The preview of a text in `codePage`, or of UTF-8 (kEncodingUtf8) in the
// font of the display code page.
void ShowPreviewText(HWND dialog, const unsigned char* text, std::size_t n, int codePage) {
    HWND preview = GetDlgItem(dialog, IDC_REPAIR_PREVIEW);
    if (!preview) return;
    const bool utf8 = codePage == kEncodingUtf8;
    CHARFORMATA format = CharFormatOfCodePage(utf8 ? DisplayCodePage() : codePage);
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const auto length = static_cast<int>(PreviewLength(text, n));
    if (utf8) {
        std::wstring units(static_cast<size_t>(length) + 1, L'\0');
        const int k = MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(text), length, units.data(), length);
        units.resize(static_cast<size_t>(std::max(k, 0)));
        SETTEXTEX set{ST_DEFAULT, 1200};
        SendMessageA(preview, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(units.c_str()));
    } else {
        StreamBytesInAs(preview, codePage, SF_TEXT, text, length);
    }
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

// "3 из 12 абзацев восстановлены"
std::string PartsCount(std::size_t changed, std::size_t parts) {
    const auto m = static_cast<int64_t>(changed);
    const auto n = static_cast<int64_t>(parts);
    return GroupedNumber(m) + " из " + GroupedNumber(n) + " " + NounAfter(n, "абзаца", "абзацев", "абзацев") + " " +
           NounAfter(m, "восстановлен", "восстановлены", "восстановлены");
}

// What OK will do with the whole text, said over the start of it the
// dialog repaired.
std::string WholeTextVerdict(const RepairChoice& choice, const PartsResult& counted, bool best) {
    if (counted.changed == 0) {
        return choice.headIsAll ? "Текст уже читается лучше всего: восстанавливать нечего."
                                : "Начало текста уже читается лучше всего.";
    }
    if (counted.changed < counted.parts) {
        const std::string count = PartsCount(counted.changed, counted.parts);
        return choice.headIsAll ? count + "; ОК восстановит текст."
                                : "В начале текста " + count + "; ОК восстановит весь текст.";
    }
    return best ? "Лучшее прочтение выбрано; ОК восстановит текст." : "ОК восстановит текст этим прочтением.";
}

// The verdict and the preview of the reading: for the whole text, its start
// repaired part by part, the preview from the first paragraph repaired;
// for a selection, its start with the one reading, in the display code page.
void ShowReading(HWND dialog, int index) {
    const RepairChoice* choice = ChoiceOf(dialog);
    if (!choice || index < 0 || index >= static_cast<int>(choice->readings.size())) return;
    const RepairReading& reading = choice->readings[index];
    if (!choice->wholeText) {
        std::vector<unsigned char> shown;
        try {
            shown = ApplyRepairReading(reading, choice->head.data(),
                                       PreviewLength(choice->head.data(), choice->head.size()), choice->standing);
        } catch (const std::bad_alloc&) {
            shown.clear();
        }
        SetDlgItemTextA(dialog, IDC_REPAIR_VERDICT,
                        ReadsAsItStands(choice->readings[0], choice->standing)
                            ? "Текст уже читается лучше всего: восстанавливать нечего."
                            : "Лучшее прочтение выбрано; ОК восстановит текст.");
        ShowPreviewText(dialog, shown.data(), shown.size(), choice->standing);
        return;
    }
    PartsResult counted;
    try {
        counted = RepairParts(*choice, reading, choice->head.data(), choice->head.size());
        SetDlgItemTextA(dialog, IDC_REPAIR_VERDICT, WholeTextVerdict(*choice, counted, index == 0).c_str());
    } catch (const std::bad_alloc&) {
        counted = PartsResult{};
        SetDlgItemTextA(dialog, IDC_REPAIR_VERDICT, "");
    }
    // The paragraphs before the first one repaired read as they stand in a
    // single-byte code page, and go into one: byte for byte, so the first
    // repaired one starts in the result where it starts in the text.
    const std::size_t from =
        counted.changed ? std::min(static_cast<std::size_t>(std::max(counted.firstChanged, 0LL)), counted.text.size())
                        : 0;
    SetDlgItemTextA(dialog, IDC_REPAIR_PREVIEW_CAPTION,
                    from ? "С первого восстановленного абзаца:" : "Начало текста после восстановления:");
    ShowPreviewText(dialog, counted.text.data() + from, counted.text.size() - from, counted.target);
}

void InitRepairDialog(HWND dialog, LPARAM param) {
    const RepairChoice* choice = reinterpret_cast<const RepairChoice*>(param);
    HWND list = GetDlgItem(dialog, IDC_REPAIR_READINGS);
    for (const RepairReading& reading : choice->readings)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RepairReadingNameRussian(reading).c_str()));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_REPAIR_PREVIEW, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    ShowReading(dialog, 0);
}

bool AcceptReading(HWND dialog) {
    RepairChoice* choice = ChoiceOf(dialog);
    const LRESULT index = SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCURSEL, 0, 0);
    choice->chosen = index >= 0 && index < static_cast<LRESULT>(choice->readings.size()) ? static_cast<int>(index) : 0;
    return true;
}

bool PreviewChosenReading(HWND dialog, WPARAM wParam) {
    if (LOWORD(wParam) != IDC_REPAIR_READINGS) return false;
    if (HIWORD(wParam) == LBN_SELCHANGE) {
        ShowReading(dialog, static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCURSEL, 0, 0)));
    } else if (HIWORD(wParam) == LBN_DBLCLK) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0); // a double click is OK
    }
    return true;
}

constexpr DialogBehaviour kRepairDialog{InitRepairDialog, AcceptReading, PreviewChosenReading};

// A document read as bytes whose repaired reading says they were UTF-8 is
// written as UTF-8 from now on (with the mark when they began with it), so
// that a save gives the repaired text in the file's own encoding. A Unicode
// document keeps its encoding.
void KeepTextsEncoding(const RepairReading& reading, const unsigned char* text, int32_t n) {
    if (reading.saved != kEncodingUtf8 || g_document.encoding != FileEncoding::Bytes) return;
    const bool mark = n >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF;
    ChangeDocumentEncoding(mark ? FileEncoding::Utf8Bom : FileEncoding::Utf8);
}

// Puts the chosen reading of the range in as one undo step; false when
// memory ran out (nothing has changed then).
bool ApplyChosenReading(const RepairChoice& choice, CHARRANGE original, int32_t start, int32_t end) {
    const RepairReading& reading = choice.readings[choice.chosen];
    if (!choice.wholeText && ReadsAsItStands(reading, choice.standing)) return true;
    const int32_t length = end - start;
    HeapBuffer read(static_cast<size_t>(length) + 2);
    if (!read) return false;
    ForeignUnits units;
    const int32_t got = StreamBytesOut(EditorWindow(), !choice.wholeText, read.get(), length, &units);
    if (got < 0) return false;
    std::vector<unsigned char> characters, out;
    const unsigned char* text = read.get();
    int32_t n = got;
    int target = choice.standing;
    try {
        // A Unicode document's characters are repaired as UTF-8, and go back
        // as the display code page's bytes and foreign units.
        if (choice.standing == kEncodingUtf8) {
            characters = CharactersAsUtf8(choice.display, read.get(), static_cast<size_t>(got), units);
            if (characters.size() > static_cast<size_t>(INT32_MAX - 2)) return false;
            text = characters.data();
            n = static_cast<int32_t>(characters.size());
        }
        if (choice.wholeText) {
            PartsResult repaired = RepairParts(choice, reading, text, static_cast<size_t>(n));
            out = std::move(repaired.text);
            target = repaired.target;
        } else {
            out = ApplyRepairReading(reading, text, static_cast<size_t>(n), target);
        }
        // The same bytes in the same code page: no step to undo.
        if (target == choice.standing && out.size() == static_cast<size_t>(n) &&
            (n == 0 || memcmp(out.data(), text, static_cast<size_t>(n)) == 0))
            return true;
        if (target == kEncodingUtf8) {
            std::vector<unsigned char> bytes;
            Utf8AsCharacters(choice.display, out.data(), out.size(), bytes, units);
            out = std::move(bytes);
            target = choice.display;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (out.size() > static_cast<size_t>(INT32_MAX - 2)) return false;
    const auto m = static_cast<int32_t>(out.size());
    const ForeignUnits* foreign = choice.standing == kEncodingUtf8 ? &units : nullptr;
    if (choice.wholeText) {
        // The text as read goes to the undo step (a Unicode document's is
        // read again, with its units).
        WholeTextChange change{out.data(), m, target, foreign ? nullptr : read.get(), foreign ? 0 : got, original,
                               {0, m}};
        change.foreign = foreign;
        if (ReplaceWholeText(change)) KeepTextsEncoding(reading, read.get(), got);
    } else {
        ReplaceRange(start, end, out.data(), m, false, foreign);
    }
    return true;
}

} // namespace

void RepairTextCommand(int) {
    if (!EditorWindow()) return;
    const CHARRANGE original = GetSelection(EditorWindow());
    RepairChoice choice;
    choice.display = DisplayCodePage();
    choice.wholeText = original.cpMin == original.cpMax;
    const int32_t start = choice.wholeText ? 0 : original.cpMin;
    const int32_t end = choice.wholeText ? TextLength(EditorWindow()) : original.cpMax;
    if (end <= start) return;
    // The readings are found from the start of the range alone, and only
    // the whole text's first megabyte is repaired for the dialog, so it
    // opens at once whatever the length of the text.
    bool enoughMemory = true;
    try {
        const int32_t limit = choice.wholeText ? kCountedSize : static_cast<int32_t>(kRepairSampleSize);
        const int32_t headLength = std::min(end - start, limit);
        choice.headIsAll = headLength == end - start;
        choice.head.resize(static_cast<size_t>(headLength));
        ForeignUnits units;
        const int32_t got = GetRangeBytes(EditorWindow(), start, start + headLength, choice.head.data(), headLength, &units);
        if (got < 0) throw std::bad_alloc();
        choice.head.resize(static_cast<size_t>(got));
        // Characters the display code page lacks are read as what they are.
        choice.standing = choice.display;
        if (!units.empty()) {
            choice.head = CharactersAsUtf8(choice.display, choice.head.data(), choice.head.size(), units);
            choice.standing = kEncodingUtf8;
        }
        choice.sampleLength = std::min(choice.head.size(), kRepairSampleSize);
        choice.readings = FindRepairReadings(choice.head.data(), choice.sampleLength, choice.standing, 5);
    } catch (const std::bad_alloc&) {
        enoughMemory = false;
    }
    if (enoughMemory) {
        // The text about to be repaired stays visible behind the dialog.
        ShowSelectionAlways(true);
        const INT_PTR answer = RunModalDialog(IDD_REPAIR, kRepairDialog, reinterpret_cast<LPARAM>(&choice));
        ShowSelectionAlways(false);
        if (answer == IDOK && choice.chosen >= 0 && !choice.readings.empty()) {
            const int32_t firstLine = FreezeView();
            enoughMemory = ApplyChosenReading(choice, original, start, end);
            ThawView(firstLine);
        }
    }
    if (!enoughMemory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowSystemError();
    }
}
