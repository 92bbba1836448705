#include "tests/import_hook.h"

#include <windows.h>

#include <cstring>

void *HookImport(const char *dllName, const char *functionName, void *replacement) {
  auto *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
  auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(
      base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
  auto *descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(
      base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
  for (; descriptor->Name != 0; ++descriptor) {
    if (_stricmp(reinterpret_cast<char *>(base + descriptor->Name), dllName) != 0) continue;
    auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + descriptor->OriginalFirstThunk);
    auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + descriptor->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char *>(byName->Name), functionName) != 0) continue;
      void *original = reinterpret_cast<void *>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement); // .idata is writable
      return original;
    }
  }
  return nullptr;
}

unsigned long clockOffset = 0;
namespace {
decltype(&GetTickCount) realGetTickCount;
DWORD WINAPI MovedTickCount() { return realGetTickCount() + clockOffset; }
} // namespace
void HookTickCount() {
  realGetTickCount = HookImport("kernel32.dll", "GetTickCount", MovedTickCount);
}
