#include "base/settings.h"

#include "core/app/setting_names.h"
#include "core/app/setting_values.h"
#include "base/scoped.h"

const char kSettingsKey[] = "Software\\Tamo\\Lork2c";

namespace {

// The program's key, opened (or with `create` made) for the call; every
// failure reads as a missing value.
ScopedRegistryKey OpenSettingsKey(bool create) {
    HKEY key = nullptr;
    const LONG rc = create ? RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key)
                           : RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, &key);
    return ScopedRegistryKey(rc == ERROR_SUCCESS ? key : nullptr);
}

} // namespace

int32_t ReadSettingDword(const char* name, int32_t defaultValue) {
    const ScopedRegistryKey k = OpenSettingsKey(false);
    if (!k) return defaultValue;
    unsigned char value[4] = {};
    DWORD type = 0;
    DWORD size = sizeof value;
    const bool read =
        RegQueryValueExA(k.get(), name, nullptr, &type, value, &size) == ERROR_SUCCESS;
    return StoredDword(read, type, value, size, defaultValue);
}

void ReadSettingString(const char* name, char* buffer, DWORD bufferSize) {
    if (!buffer || bufferSize == 0) return;
    buffer[0] = '\0';
    const ScopedRegistryKey k = OpenSettingsKey(false);
    if (!k) return;
    DWORD type = 0;
    DWORD size = bufferSize;
    const bool read = RegQueryValueExA(k.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                      ERROR_SUCCESS;
    StoredString(read, type, buffer, size, bufferSize);
}

void WriteSettingDword(const char* name, int32_t value) {
    const ScopedRegistryKey k = OpenSettingsKey(true);
    if (!k) return;
    DWORD v = static_cast<DWORD>(value);
    RegSetValueExA(k.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof(v));
}

void WriteSettingString(const char* name, const char* text) {
    const ScopedRegistryKey k = OpenSettingsKey(true);
    if (!k) return;
    RegSetValueExA(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(lstrlenA(text) + 1));
}

bool ReadSettingBinary(const char* name, void* data, DWORD size) {
    const ScopedRegistryKey k = OpenSettingsKey(false);
    if (!k) return false;
    DWORD type = 0;
    DWORD stored = size;
    const bool read =
        RegQueryValueExA(k.get(), name, nullptr, &type, static_cast<BYTE*>(data), &stored) == ERROR_SUCCESS;
    return StoredBinary(read, type, stored, size);
}

void WriteSettingBinary(const char* name, const void* data, DWORD size) {
    const ScopedRegistryKey k = OpenSettingsKey(true);
    if (!k) return;
    RegSetValueExA(k.get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
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
