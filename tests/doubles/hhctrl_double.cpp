// Test double of the HTML Help control, for the help tests only; never
// shipped. It logs being loaded, and its help entry (ordinal 14) what it is
// given, the popup record included, to the file in GYREL_DOUBLE_LOG.
#include <windows.h>

#include <htmlhelp.h>

#include <cstdio>
#include <cstdlib>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  FILE *log = path && reason == DLL_PROCESS_ATTACH ? std::fopen(path, "a") : nullptr;
  if (log) {
    std::fprintf(log, "loaded\n");
    std::fclose(log);
  }
  return TRUE;
}

extern "C" HWND WINAPI DoubleHtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  FILE *log = path ? std::fopen(path, "a") : nullptr;
  if (!log) return nullptr;
  std::fprintf(log, "owner=%d file=%s command=%u", owner != nullptr, file ? file : "(null)",
               command);
  if (command == HH_DISPLAY_TEXT_POPUP && data) {
    const auto *popup = reinterpret_cast<const HH_POPUP *>(data);
    std::fprintf(log,
                 " cb=%d hinst=%d id=%u text=%d pt=%ld,%ld fg=%06lx bg=%06lx "
                 "margins=%ld,%ld,%ld,%ld font=%s",
                 popup->cbStruct, popup->hinst != nullptr, popup->idString,
                 popup->pszText != nullptr, popup->pt.x, popup->pt.y, popup->clrForeground,
                 popup->clrBackground, popup->rcMargins.left, popup->rcMargins.top,
                 popup->rcMargins.right, popup->rcMargins.bottom,
                 popup->pszFont ? popup->pszFont : "(null)");
  } else {
    std::fprintf(log, " data=%llu", static_cast<unsigned long long>(data));
  }
  std::fprintf(log, "\n");
  std::fclose(log);
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
}
