// The settings store: named values under one key of the current user.
#pragma once

#include <windows.h>

#include <cstdint>

extern const char kSettingsKey[]; // Software\Tamo\Lork2c

int32_t ReadSettingDword(const char* name, int32_t defaultValue);
// Always leaves a NUL-terminated string in the buffer; empty on any failure,
// a value longer than the buffer included.
void ReadSettingString(const char* name, char* buffer, DWORD bufferSize);
void WriteSettingDword(const char* name, int32_t value);
void WriteSettingString(const char* name, const char* text);
// Binary values ("DEF"): true only when exactly `size` bytes were stored.
bool ReadSettingBinary(const char* name, void* data, DWORD size);
void WriteSettingBinary(const char* name, const void* data, DWORD size);

struct SettingDef;
// Reads a DWORD setting with its default from the settings table (system
// colour defaults resolved).
int32_t ReadSetting(const SettingDef& def);
void WriteSetting(const SettingDef& def, int32_t value);
