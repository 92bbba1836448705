// The settings store's registry access: every value opens and closes the key
// by itself, and any failure falls back to the value's default.
#include <windows.h>

#include <shlobj.h>

#include <cstring>

#include "settings/saver_settings.h"

namespace {
// Reads a value's data, whatever its type, into `buffer`; `size` holds the
// buffer's size on entry and the data's size on success.
LONG QueryValue(const char *keyPath, const char *valueName, void *buffer, DWORD &size) {
  HKEY key;
  const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key);
  if (opened != ERROR_SUCCESS) return opened;
  const LONG status =
      RegQueryValueExA(key, valueName, nullptr, nullptr, static_cast<BYTE *>(buffer), &size);
  RegCloseKey(key);
  return status;
}

// Creates the key path when missing and sets one value.
bool SetValue(const char *keyPath, const char *valueName, DWORD type, const void *data,
              DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG status =
      RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE *>(data), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}
} // namespace

bool ReadRegistryDword(std::uint32_t *out, const char *keyPath, const char *valueName,
                       std::uint32_t lower, std::uint32_t upper, std::uint32_t fallback) {
  DWORD value = 0;
  DWORD size = sizeof value;
  // Fewer than four bytes (a short string or binary) count as absent.
  if (QueryValue(keyPath, valueName, &value, size) == ERROR_SUCCESS && size == sizeof value &&
      lower <= value && value <= upper) {
    *out = value;
    return true;
  }
  *out = fallback;
  return false;
}

bool ReadPolicyDword(std::uint32_t *out, bool recommended, const char *valueName,
                     std::uint32_t lower, std::uint32_t upper) {
  const char *path = recommended ? kRecommendedKeyPath : kPolicyKeyPath;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) { // the machine's win
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG status =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    // Of another type or size it is as if absent, as is a number out of bounds.
    if (status == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && lower <= value &&
        value <= upper) {
      *out = value;
      return true;
    }
  }
  return false;
}

bool ReadRegistryString(std::string *out, const char *keyPath, const char *valueName,
                        const char *fallback) {
  char buffer[kHelpFileMaxLength + 1];
  DWORD size = sizeof buffer;
  if (QueryValue(keyPath, valueName, buffer, size) == ERROR_SUCCESS && size <= sizeof buffer) {
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
  const DWORD data = value;
  return SetValue(keyPath, valueName, REG_DWORD, &data, sizeof data);
}

bool WriteRegistryString(const std::string &text, const char *keyPath, const char *valueName) {
  return SetValue(keyPath, valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool HelpFileExists(const std::string &path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
// The help in the machine's own 64-bit Program Files, wherever it lies.
std::string ProgramFilesHelpFile() {
  PWSTR folder = nullptr;
  std::string file = kDefaultHelpFile;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramFiles, 0, nullptr, &folder))) {
    char narrow[MAX_PATH];
    if (WideCharToMultiByte(CP_ACP, 0, folder, -1, narrow, MAX_PATH, nullptr, nullptr) > 0)
      file = std::string(narrow) + "\\GyrelSaver\\GyrelSaver.chm";
  }
  CoTaskMemFree(folder);
  return file;
}

// The folder the fleet package recorded in its entry, which Windows
// Installer keeps under the package's product code.
std::string PackageFolder() {
  HKEY uninstall;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                    0, KEY_READ, &uninstall) != ERROR_SUCCESS)
    return "";
  std::string found;
  const auto text = [uninstall](const char *entry, const char *name, char(&out)[MAX_PATH]) {
    DWORD size = sizeof out;
    return RegGetValueA(uninstall, entry, name, RRF_RT_REG_SZ, nullptr, out, &size) ==
           ERROR_SUCCESS;
  };
  char entry[256], value[MAX_PATH];
  for (DWORD i = 0; found.empty(); ++i) {
    DWORD length = sizeof entry;
    if (RegEnumKeyExA(uninstall, i, entry, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    if (entry[0] != '{' || !text(entry, "DisplayName", value) ||
        std::strcmp(value, "GyrelSaver") != 0 || !text(entry, "Publisher", value) ||
        std::strcmp(value, "Quorvel") != 0 || !text(entry, "InstallLocation", value))
      continue;
    found = value;
    while (!found.empty() && found.back() == '\\') // recorded with its separator
      found.pop_back();
  }
  RegCloseKey(uninstall);
  return found;
}
} // namespace

std::string FindHelpFile() {
  const std::string programFiles = ProgramFilesHelpFile();
  if (HelpFileExists(programFiles)) return programFiles;
  // The setup records its folder per user or for all users; the package in its entry.
  std::string folders[3];
  for (int i = 0; i < 2; ++i) {
    char folder[MAX_PATH];
    DWORD size = sizeof folder;
    if (RegGetValueA(i == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, kUninstallKeyPath,
                     "InstallLocation", RRF_RT_REG_SZ, nullptr, folder, &size) == ERROR_SUCCESS)
      folders[i] = folder;
  }
  folders[2] = PackageFolder();
  for (const std::string &folder : folders) {
    const std::string file = folder + "\\GyrelSaver.chm";
    if (!folder.empty() && HelpFileExists(file)) return file;
  }
  char program[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (length > 0 && length < MAX_PATH) {
    std::string file(program, length);
    file.resize(file.find_last_of('\\') + 1); // the folder, with its separator
    file += "GyrelSaver.chm";
    if (HelpFileExists(file)) return file;
  }
  return programFiles;
}
