#include "core/document/file_names.h"

#include <cstdio>
#include <cstring>

#include "core/charset/display_map.h"

int LastBackslash(std::string_view path, int lowest) {
    for (int i = static_cast<int>(path.size()) - 1; i >= lowest && i >= 0; --i)
        if (path[static_cast<size_t>(i)] == '\\') return i;
    return -1;
}

std::string NormaliseOrder(std::string_view order) {
    std::string out;
    for (char c : order) {
        if (c < '0' || c > '9' || out.find(c) != std::string::npos) continue;
        out += c;
        if (out.size() == kRecentSlots) break;
    }
    return out;
}

std::string MoveToFront(std::string_view order, char digit) {
    std::string out(1, digit);
    for (char c : order)
        if (c != digit && out.size() < kRecentSlots) out += c;
    return out;
}

char SlotForNewEntry(std::string_view order, const bool used[kRecentSlots]) {
    for (int d = 0; d < kRecentSlots; ++d)
        if (!used[d]) return static_cast<char>('0' + d);
    // Every slot holds a file, so every digit is in the order.
    return order.empty() ? '0' : order.back();
}

std::string RecentCaption(int position, std::string_view path) {
    if (path.empty() || position < 0 || position >= kRecentSlots) return {};
    std::string caption = "&";
    caption += static_cast<char>('0' + position);
    caption += ' ';
    std::string_view name = path.substr(static_cast<size_t>(LastBackslash(path, 2) + 1));
    std::string shown(name.substr(0, name.size() < 14 ? name.size() : 12));
    for (size_t i = 1; i < shown.size(); ++i)
        shown[i] = static_cast<char>(FoldDisplayCase(0, static_cast<unsigned char>(shown[i])));
    caption += shown;
    if (name.size() >= 14) caption += "...";
    return caption;
}

const char kFileFilters[] = "Текстовые файлы (*.txt,*.diz,*.rtf)\0*.txt;*.diz;*.rtf\0"
                            "Все файлы (*.*)\0*.*\0"
                            "HTML файлы (*.htm,*.html,*.shtml)\0*.htm;*.html;*.shtml\0"
                            "Pascal файлы (*.pas,*.dpr,*.asm)\0*.pas;*.dpr;*.asm\0"
                            "C++ файлы (*.c,*.cpp,*.h,*.rc)\0*.c;*.h;*.cpp;*.rc\0"
                            "OS файлы (*.bat,*.log,*.ini)\0*.bat;*.log;*.ini\0";

const char* DefaultExtensionFor(int filterIndex) {
    static const char* const kExtensions[kFileFilterCount] = {"txt", "", "htm", "pas", "c", "bat"};
    if (filterIndex < 1 || filterIndex > kFileFilterCount) return nullptr;
    return kExtensions[filterIndex - 1];
}

bool TemporaryNameFor(std::string_view path, unsigned attempt, char* out, std::size_t capacity) {
    const int slash = LastBackslash(path, 0);
    std::string_view folder = path.substr(0, static_cast<size_t>(slash + 1));
    char tail[32];
    snprintf(tail, sizeof tail, "~lk2%04X.tmp", attempt & 0xFFFFu);
    const size_t needed = folder.size() + strlen(tail) + 1;
    if (capacity == 0 || needed > capacity) return false;
    memcpy(out, folder.data(), folder.size());
    memcpy(out + folder.size(), tail, strlen(tail) + 1);
    return true;
}

namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

bool IsDeviceName(std::string_view path) {
    const size_t slash = path.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    const size_t dot = name.find('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.size() < 3 || name.size() > 7) return false;
    std::string upper(name);
    for (char& c : upper) c = UpperAscii(c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (upper == device) return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

std::string FileErrorText(std::string_view path, std::string_view systemText) {
    while (!systemText.empty() && (systemText.back() == '\r' || systemText.back() == '\n' ||
                                   systemText.back() == ' ' || systemText.back() == '.'))
        systemText.remove_suffix(1);
    std::string text(path);
    if (systemText.empty()) return text;
    text += ": ";
    const size_t start = text.size();
    text += systemText;
    if (text.size() > start + 1) {
        const auto first = static_cast<unsigned char>(text[start]);
        const auto second = static_cast<unsigned char>(text[start + 1]);
        const auto lower = [](unsigned char c) {
            if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
            if (c >= 0xC0 && c <= 0xDF) return static_cast<unsigned char>(c + 32); // А-Я in 1251
            if (c == 0xA8) return static_cast<unsigned char>(0xB8);                 // Ё
            return c;
        };
        if (lower(second) == second && lower(first) != first) text[start] = static_cast<char>(lower(first));
    }
    return text;
}
