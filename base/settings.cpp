#include "base/settings.h"

#include "core/app/setting_names.h"

const char kSettingsKey[] = "Software\\Tamo\\Lork2c";

namespace {

// Opens the key for reading; every failure reads as a missing value.
struct SettingsKey {
    HKEY key = nullptr;
    explicit SettingsKey(bool create) {
        LONG rc = create ? RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key)
                         : RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key);
        if (rc != ERROR_SUCCESS) key = nullptr;
    }
    ~SettingsKey() {
        if (key) RegCloseKey(key);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
};

} // namespace

int32_t ReadSettingDword(const char* name, int32_t defaultValue) {
    SettingsKey k(false);
    if (!k.key) return defaultValue;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(k.key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return defaultValue;
    // A value shorter than four bytes fills only its own bytes.
    return static_cast<int32_t>(value);
}

void ReadSettingString(const char* name, char* buffer, DWORD bufferSize) {
    if (!buffer || bufferSize == 0) return;
    buffer[0] = '\0';
    SettingsKey k(false);
    if (!k.key) return;
    DWORD size = bufferSize;
    if (RegQueryValueExA(k.key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        buffer[0] = '\0';
        return;
    }
    // The stored value may lack its terminator: keep the string inside the
    // buffer either way, and treat a value that fills it without one as too long.
    if (size == 0) {
        buffer[0] = '\0';
    } else if (buffer[size - 1] != '\0') {
        if (size < bufferSize)
            buffer[size] = '\0';
        else
            buffer[0] = '\0';
    }
}

void WriteSettingDword(const char* name, int32_t value) {
    SettingsKey k(true);
    if (!k.key) return;
    DWORD v = static_cast<DWORD>(value);
    RegSetValueExA(k.key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

void WriteSettingString(const char* name, const char* text) {
    SettingsKey k(true);
    if (!k.key) return;
    RegSetValueExA(k.key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(lstrlenA(text) + 1));
}

bool ReadSettingBinary(const char* name, void* data, DWORD size) {
    SettingsKey k(false);
    if (!k.key) return false;
    DWORD stored = size;
    if (RegQueryValueExA(k.key, name, nullptr, nullptr, static_cast<BYTE*>(data), &stored) !=
        ERROR_SUCCESS)
        return false;
    return stored == size;
}

void WriteSettingBinary(const char* name, const void* data, DWORD size) {
    SettingsKey k(true);
    if (!k.key) return;
    RegSetValueExA(k.key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
}

int32_t ReadSetting(const SettingDef& def) {
    int32_t fallback = def.defaultValue;
    if (fallback == static_cast<int32_t>(SettingDefault::SystemWindowColour))
        fallback = static_cast<int32_t>(GetSysColor(COLOR_WINDOW));
    else if (fallback == static_cast<int32_t>(SettingDefault::SystemWindowTextColour))
        fallback = static_cast<int32_t>(GetSysColor(COLOR_WINDOWTEXT));
    return ReadSettingDword(def.name, fallback);
}

void WriteSetting(const SettingDef& def, int32_t value) { WriteSettingDword(def.name, value); }
