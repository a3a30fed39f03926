#include "codepage/repair_dialog.h"

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "base/heap_block.h"
#include "base/messages.h"
#include "base/modal_dialog.h"
#include "base/settings.h"
#include "core/app/setting_names.h"
#include "core/repair/repair.h"
#include "core/dialogs/codepage_dialog_ids.h"
#include "editor/display_code_page.h"
#include "editor/editor.h"
#include "editor/text_layer.h"

namespace {

// The preview shows the first lines of the text: at most this much of it.
constexpr std::size_t kPreviewSize = 4096;

// What the dialog shows and what it chose. The readings are found from the
// start of the range alone (the sample).
struct RepairChoice {
    std::vector<unsigned char> sample;
    std::vector<RepairReading> readings;
    int display = 0;
    bool wholeText = true;
    int chosen = -1;
};

RepairChoice* ChoiceOf(HWND dialog) { return reinterpret_cast<RepairChoice*>(ModalDialogParam(dialog)); }

// The reading changes nothing: the bytes decoded as they are shown.
bool ReadsAsItStands(const RepairReading& reading, int display) {
    return IsPlainReading(reading) && reading.saved == display;
}

bool AlreadyReadsBest(const RepairChoice& choice) {
    return choice.readings.empty() || ReadsAsItStands(choice.readings[0], choice.display);
}

// The code page the range takes with this reading: a selection stays in the
// display code page.
int TargetOf(const RepairChoice& choice, const RepairReading& reading, const unsigned char* text, std::size_t n) {
    return choice.wholeText ? RepairTargetCodePage(reading, text, n, choice.display) : choice.display;
}

// The first lines of the sample: cut after the last line feed of its first
// kPreviewSize bytes (a line feed is never part of a longer sequence in any
// of the readings), or at kPreviewSize when there is none.
std::size_t PreviewLength(const std::vector<unsigned char>& sample) {
    if (sample.size() <= kPreviewSize) return sample.size();
    for (std::size_t i = kPreviewSize; i > 0; --i)
        if (sample[i - 1] == '\n') return i;
    return kPreviewSize;
}

// The preview: the start of the text as the reading makes it, shown in the
// font of the code page it goes into.
void ShowPreview(HWND dialog, int index) {
    const RepairChoice* choice = ChoiceOf(dialog);
    HWND preview = GetDlgItem(dialog, IDC_REPAIR_PREVIEW);
    if (!choice || !preview || index < 0 || index >= static_cast<int>(choice->readings.size())) return;
    const RepairReading& reading = choice->readings[index];
    const int target = TargetOf(*choice, reading, choice->sample.data(), choice->sample.size());
    std::vector<unsigned char> shown;
    try {
        shown = ApplyRepairReading(reading, choice->sample.data(), PreviewLength(choice->sample), target);
    } catch (const std::bad_alloc&) {
        shown.clear();
    }
    CHARFORMATA format = CharFormatOfCodePage(target);
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    StreamBytesInAs(preview, target, SF_TEXT, shown.data(), static_cast<int32_t>(shown.size()));
    SendMessageA(preview, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
}

void InitRepairDialog(HWND dialog, LPARAM param) {
    const RepairChoice* choice = reinterpret_cast<const RepairChoice*>(param);
    HWND list = GetDlgItem(dialog, IDC_REPAIR_READINGS);
    for (const RepairReading& reading : choice->readings)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(RepairReadingNameRussian(reading).c_str()));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    SetDlgItemTextA(dialog, IDC_REPAIR_VERDICT,
                    AlreadyReadsBest(*choice) ? "Текст уже читается лучше всего: восстанавливать нечего."
                                              : "Лучшее прочтение выбрано; ОК восстановит текст.");
    SendDlgItemMessageA(dialog, IDC_REPAIR_PREVIEW, EM_SETBKGNDCOLOR, 0, ReadSetting(setting::Background));
    ShowPreview(dialog, 0);
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
        ShowPreview(dialog,
                    static_cast<int>(SendDlgItemMessageA(dialog, IDC_REPAIR_READINGS, LB_GETCURSEL, 0, 0)));
    } else if (HIWORD(wParam) == LBN_DBLCLK) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0); // a double click is OK
    }
    return true;
}

constexpr DialogBehaviour kRepairDialog{InitRepairDialog, AcceptReading, PreviewChosenReading};

// Puts the chosen reading of the range in as one undo step; false when
// memory ran out (nothing has changed then).
bool ApplyChosenReading(const RepairChoice& choice, CHARRANGE original, int32_t start, int32_t end) {
    const RepairReading& reading = choice.readings[choice.chosen];
    if (ReadsAsItStands(reading, choice.display)) return true;
    const int32_t length = end - start;
    HeapBuffer text(static_cast<size_t>(length) + 2);
    if (!text) return false;
    const int32_t n = StreamBytesOut(EditorWindow(), !choice.wholeText, text.get(), length);
    std::vector<unsigned char> out;
    int target = choice.display;
    try {
        target = TargetOf(choice, reading, text.get(), static_cast<size_t>(n));
        out = ApplyRepairReading(reading, text.get(), static_cast<size_t>(n), target);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (out.size() > static_cast<size_t>(INT32_MAX - 2)) return false;
    const auto m = static_cast<int32_t>(out.size());
    // The same bytes in the same code page: no step to undo.
    if (target == choice.display && m == n && (n == 0 || memcmp(out.data(), text.get(), n) == 0)) return true;
    if (choice.wholeText) {
        ReplaceWholeText({out.data(), m, target, text.get(), n, original, {0, m}});
    } else {
        ReplaceRange(start, end, out.data(), m);
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
    // The readings are found from the start of the range alone, so the
    // dialog opens at once whatever the length of the text.
    bool enoughMemory = true;
    try {
        const int32_t sampleLength = std::min<int32_t>(end - start, static_cast<int32_t>(kRepairSampleSize));
        choice.sample.resize(static_cast<size_t>(sampleLength));
        choice.sample.resize(static_cast<size_t>(
            GetRangeBytes(EditorWindow(), start, start + sampleLength, choice.sample.data(), sampleLength)));
        choice.readings = FindRepairReadings(choice.sample.data(), choice.sample.size(), choice.display, 5);
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
