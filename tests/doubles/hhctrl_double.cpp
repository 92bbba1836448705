// Test double of the HTML Help control: logs being loaded, and what its help
// entry (ordinal 14) is given, the popup record included.
#include <windows.h>

#include <htmlhelp.h>

#include "tests/doubles/double_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DoubleLog("loaded\n");
  return TRUE;
}

extern "C" HWND WINAPI DoubleHtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data) {
  DoubleLog("owner=%d file=%s command=%u", owner != nullptr, file ? file : "(null)", command);
  if (const auto *p = reinterpret_cast<const HH_POPUP *>(data); command == HH_DISPLAY_TEXT_POPUP)
    DoubleLog(" cb=%d hinst=%d id=%u text=%d pt=%ld,%ld fg=%06lx bg=%06lx margins=%ld,%ld,%ld,%ld"
              " font=%s",
              p->cbStruct, p->hinst != nullptr, p->idString, p->pszText != nullptr, p->pt.x,
              p->pt.y, p->clrForeground, p->clrBackground, p->rcMargins.left, p->rcMargins.top,
              p->rcMargins.right, p->rcMargins.bottom, p->pszFont ? p->pszFont : "(null)");
  DoubleLog("\n");
  return nullptr;
}
