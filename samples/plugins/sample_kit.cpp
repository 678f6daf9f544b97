#include "samples/plugins/sample_kit.h"

#include <cstring>
#include <cwchar>

namespace {
const wchar_t kSettingsRoot[] = L"Software\\Oxbellow\\Kelmora Plugins\\";

HKEY OpenSettings(const wchar_t* plugin, bool write)
{
    wchar_t path[128];
    if (std::wcslen(kSettingsRoot) + std::wcslen(plugin) + 1 > sizeof path / sizeof path[0]) return nullptr;
    std::wcscpy(path, kSettingsRoot);
    std::wcscat(path, plugin);
    HKEY key = nullptr;
    LONG r = write ? RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key);
    return r == ERROR_SUCCESS ? key : nullptr;
}
}

WORD GiveText(const wchar_t* text, HGLOBAL* block)
{
    int bytes = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1 || bytes > 0xFFFF) return TEXTGEN_FAILED;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bytes));
    char* p = h ? static_cast<char*>(GlobalLock(h)) : nullptr;
    if (!p) {
        if (h) GlobalFree(h);
        return TEXTGEN_FAILED;
    }
    WideCharToMultiByte(932, 0, text, -1, p, bytes, nullptr, nullptr);
    GlobalUnlock(h);
    *block = h;
    return static_cast<WORD>(bytes - 1);
}

WORD GiveNames(const char* const* names, int count, HGLOBAL* block)
{
    const SIZE_T size = static_cast<SIZE_T>(count) * TEXTGEN_NAME_ENTRY_SIZE;
    if (count <= 0 || size > 0xFFFF) return 0;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    char* p = h ? static_cast<char*>(GlobalLock(h)) : nullptr;
    if (!p) {
        if (h) GlobalFree(h);
        return 0;
    }
    for (int i = 0; i < count; ++i)
        std::strncpy(p + i * TEXTGEN_NAME_ENTRY_SIZE, names[i], TEXTGEN_NAME_MAX);
    GlobalUnlock(h);
    *block = h;
    return static_cast<WORD>(size);
}

DWORD ReadSettingNumber(const wchar_t* plugin, const wchar_t* name, DWORD fallback)
{
    HKEY key = OpenSettings(plugin, false);
    if (!key) return fallback;
    DWORD value = 0, type = 0, size = sizeof value;
    LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value ? value : fallback;
}

void ReadSettingText(const wchar_t* plugin, const wchar_t* name, wchar_t* out, DWORD outChars)
{
    out[0] = L'\0';
    HKEY key = OpenSettings(plugin, false);
    if (!key) return;
    // Room is kept for a terminator the stored value may lack.
    DWORD type = 0, size = (outChars - 1) * sizeof(wchar_t);
    LONG r = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || type != REG_SZ) out[0] = L'\0';
    else out[size / sizeof(wchar_t)] = L'\0';
}

bool WriteSettingNumber(const wchar_t* plugin, const wchar_t* name, DWORD value)
{
    HKEY key = OpenSettings(plugin, true);
    if (!key) return false;
    LONG r = RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

bool WriteSettingText(const wchar_t* plugin, const wchar_t* name, const wchar_t* value)
{
    HKEY key = OpenSettings(plugin, true);
    if (!key) return false;
    DWORD bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    LONG r = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}
