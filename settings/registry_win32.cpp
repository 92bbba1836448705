// The settings store's registry access: every value opens and closes the key
// by itself, and any failure falls back to the value's default.
#include <windows.h>

#include <cstring>

#include "settings/saver_settings.h"

bool ReadRegistryDword(std::uint32_t *out, const char *keyPath, const char *valueName,
                       std::uint32_t lower, std::uint32_t upper, std::uint32_t fallback) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    *out = fallback;
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG status =
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  // Fewer than four bytes (a short string or binary) count as absent.
  if (status == ERROR_SUCCESS && size == sizeof value && lower <= value && value <= upper) {
    *out = value;
    return true;
  }
  *out = fallback;
  return false;
}

bool ReadRegistryString(std::string *out, const char *keyPath, const char *valueName,
                        const char *fallback) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    *out = fallback;
    return false;
  }
  char buffer[kHelpFileMaxLength + 1];
  DWORD size = sizeof buffer;
  const LONG status =
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
  RegCloseKey(key);
  if (status == ERROR_SUCCESS && size <= sizeof buffer) {
    // Data without a NUL ends at the bytes actually read, never past them.
    const void *nul = std::memchr(buffer, '\0', size);
    const std::size_t length = nul ? static_cast<const char *>(nul) - buffer : size;
    if (length <= kHelpFileMaxLength) {
      out->assign(buffer, length);
      return true;
    }
  }
  *out = fallback;
  return false;
}

bool WriteRegistryDword(std::uint32_t value, const char *keyPath, const char *valueName) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD data = value;
  const LONG status =
      RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data), 4);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

bool WriteRegistryString(const std::string &text, const char *keyPath, const char *valueName) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status =
      RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}
