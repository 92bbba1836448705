#include "config/help.h"

#include <htmlhelp.h>
#include <shellapi.h>

#include <string>

#include "host/host_state.h"
#include "resources/resource_ids.h"
#include "settings/saver_settings.h"

namespace {
using HtmlHelpFn = HWND(WINAPI *)(HWND, LPCSTR, UINT, DWORD_PTR);

// Loaded on first use and kept; after one failure no load is tried again.
HMODULE helpLibrary = nullptr;
HtmlHelpFn helpEntry = nullptr;
bool helpFailed = false;

void OpenPage(const char *path) {
  const std::string address = std::string(kWebSiteHost) + path;
  ShellExecuteA(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
}
// A library by its full path, with the libraries it needs in turn from the
// system directory too where the system can be told so (it has
// AddDllDirectory then): searched for, starting in the program's own folder,
// a planted DLL would run.
HMODULE LoadFromSystem(const char *path) {
  static const bool searchSystemOnly =
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "AddDllDirectory") != nullptr;
  return searchSystemOnly ? LoadLibraryExA(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                          : LoadLibraryA(path);
}

HMODULE LoadSystemHelpControl() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadFromSystem((std::string(folder, length) + "\\hhctrl.ocx").c_str());
}
} // namespace

bool QueryHtmlHelpLocation(char (&buffer)[260]) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHelpControlClsidKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD size = sizeof buffer - 1; // one byte kept for a terminator the data may lack
  const LONG status =
      RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return false;
  buffer[size < sizeof buffer ? size : sizeof buffer - 1] = '\0';
  return true;
}

HWND InvokeHtmlHelp(HWND owner, const char *file, UINT command, DWORD_PTR data) {
  if (!helpLibrary && !helpFailed) {
    char location[260];
    if (QueryHtmlHelpLocation(location)) helpLibrary = LoadFromSystem(location);
    if (!helpLibrary) helpLibrary = LoadSystemHelpControl();
    if (!helpLibrary) {
      helpFailed = true;
      return nullptr;
    }
  }
  if (!helpEntry) {
    if (helpFailed) return nullptr;
    helpEntry = reinterpret_cast<HtmlHelpFn>(
        reinterpret_cast<void *>(GetProcAddress(helpLibrary, MAKEINTRESOURCEA(14))));
    if (!helpEntry) {
      helpFailed = true;
      return nullptr;
    }
  }
  return helpEntry(owner, file, command, data);
}

void ShowContextHelpPopup(HWND dialog, DWORD_PTR contextId, POINT mousePosition) {
  HH_POPUP popup{};
  popup.cbStruct = sizeof popup;
  popup.hinst = nullptr;
  popup.idString = static_cast<UINT>(contextId);
  popup.pszText = nullptr;
  popup.pt = mousePosition;
  popup.clrForeground = RGB(221, 221, 0);
  popup.clrBackground = RGB(0, 0, 55);
  popup.rcMargins = {-1, -1, -1, -1};
  popup.pszFont = "MS Sans Serif, 10, ,";
  const std::string file = settings.HelpFile + "::/HelpTopics.txt";
  InvokeHtmlHelp(dialog, file.c_str(), kHelpDisplayTextPopup, reinterpret_cast<DWORD_PTR>(&popup));
}

void ShowHelpContents(HWND dialog) {
  InvokeHtmlHelp(dialog, settings.HelpFile.c_str(), kHelpDisplayToc, 0);
}

INT_PTR CALLBACK AboutDialogProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  if (message != WM_COMMAND) return 0;
  switch (LOWORD(wParam)) {
  case IDOK:
    EndDialog(box, 0);
    return 1;
  case IDC_FEEDBACK:
    OpenPage("/GyrelSaver/feedback.html");
    return 1;
  case IDC_WEBSITE:
    OpenPage("/GyrelSaver");
    return 1;
  default:
    return 0;
  }
}
