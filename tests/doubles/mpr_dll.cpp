// Test double of the 9x network-provider library (MPR.DLL), for the
// end-to-end tests only; never shipped. Logs the password-change call to the
// file in GYREL_DOUBLE_LOG; with GYREL_DOUBLE_FAULT set it faults instead,
// to show the saver's fault guard.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD flags, LPVOID reserved) {
  if (std::getenv("GYREL_DOUBLE_FAULT")) {
    volatile int *nowhere = nullptr;
    *nowhere = 1;
  }
  if (const char *path = std::getenv("GYREL_DOUBLE_LOG")) {
    if (FILE *log = std::fopen(path, "a")) {
      std::fprintf(log, "change provider=%s owner=0x%llx flags=%lu reserved=%p\n", provider,
                   static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(owner)), flags,
                   reserved);
      std::fclose(log);
    }
  }
  return 0;
}
