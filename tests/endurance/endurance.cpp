// Endurance: the full-screen saver window at the heaviest settings, driven by
// its real timer for a given time, in this process so that the GDI resource
// counts of the drawing seam can be read. Prints memory at intervals and
// fails when a pen or device context is left behind or memory grows.
//   endurance.exe [seconds]
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "animation/saver_procedure.h"
#include "drawing/gdi_surface.h"
#include "host/host_state.h"

namespace {
void SetDword(HKEY key, const char *name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4);
}

SIZE_T WorkingSetBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&counters),
                       sizeof counters);
  // Wine reports no private usage; the working set is what it measures.
  return counters.WorkingSetSize;
}
} // namespace

int main(int argc, char **argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver", 0, nullptr, 0, KEY_WRITE,
                  nullptr, &key, nullptr);
  SetDword(key, "DrawSpeed", 1);
  SetDword(key, "PointsPerCycle", 800);
  SetDword(key, "MinGyrels", 20);
  SetDword(key, "MaxGyrels", 20);
  SetDword(key, "RefreshPause", 0);
  RegCloseKey(key);

  hostState.instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = hostState.instance;
  windowClass.lpszClassName = "EnduranceSaverClass";
  RegisterClassA(&windowClass);
  // A preview-style child of a plain window: input never closes it, and the
  // drawing path is the full-screen one.
  HWND parent = CreateWindowExA(0, "STATIC", "Endurance", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                nullptr, nullptr, hostState.instance, nullptr);
  hostState.isPreview = 1;
  HWND saver = CreateWindowExA(0, "EnduranceSaverClass", "Preview", WS_CHILD | WS_VISIBLE, 0, 0,
                               800, 600, parent, nullptr, hostState.instance, nullptr);

  const DWORD start = GetTickCount();
  DWORD nextReport = 0;
  SIZE_T firstBytes = 0;
  SIZE_T lastBytes = 0;
  MSG message;
  while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000u) {
    // One message at a time: heavy ticks can keep the queue from ever emptying.
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= nextReport) {
      lastBytes = WorkingSetBytes();
      if (firstBytes == 0 && elapsed >= 5000) firstBytes = lastBytes; // after the warm-up
      std::printf("t=%3lus working set=%lu KiB pens=%ld dcs=%ld\n", elapsed / 1000,
                  static_cast<unsigned long>(lastBytes / 1024), gdiResourceCounts.pensCreated,
                  gdiResourceCounts.contextsTaken);
      std::fflush(stdout);
      nextReport += seconds >= 120 ? 30000 : 5000;
    } else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  DestroyWindow(saver);
  DestroyWindow(parent);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver");

  const GdiResourceCounts &c = gdiResourceCounts;
  std::printf("pens created %ld deleted %ld; contexts taken %ld released %ld\n", c.pensCreated,
              c.pensDeleted, c.contextsTaken, c.contextsReleased);
  const long growthKiB = (static_cast<long>(lastBytes) - static_cast<long>(firstBytes)) / 1024;
  std::printf("working set after warm-up: %+ld KiB\n", growthKiB);
  const bool balanced =
      c.pensCreated == c.pensDeleted && c.contextsTaken == c.contextsReleased && c.pensCreated > 0;
  const bool flat = growthKiB < 1024;
  std::printf("%s\n", balanced && flat ? "PASS" : "FAIL");
  return balanced && flat ? 0 : 1;
}
