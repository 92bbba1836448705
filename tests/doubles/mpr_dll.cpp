// Test double of the 9x network-provider library (MPR.DLL): logs the
// password-change call.
#include <windows.h>

#include "tests/doubles/double_log.h"

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, LPVOID) {
  DoubleLog("change provider=%s owner=0x%llx flags=%lu\n", provider,
            static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)), flags);
  return 0;
}
