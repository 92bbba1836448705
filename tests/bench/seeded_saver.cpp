// The full-screen saver with its random generator seeded from the command
// line instead of the clock, so that two runs draw the same picture (for
// screenshots that compare settings). With "display-off" it is told, half a
// second in, that the display went off, as Windows tells it (Wine tells
// nothing), for measuring what it costs then.
//   seeded_saver.exe SEED [display-off]
#include <cstdlib>
#include <cstring>

#include "figure/random.h"
#include "host/host_state.h"

int main(int argc, char **argv) {
  hostState.instance = GetModuleHandleA(nullptr);
  SeedRandom(static_cast<std::uint32_t>(argc > 1 ? std::atol(argv[1]) : 1));
  if (argc > 2 && std::strcmp(argv[2], "display-off") == 0)
    SetTimer(nullptr, 0, 500, [](HWND, UINT, UINT_PTR timer, DWORD) {
      KillTimer(nullptr, timer);
      struct {
        GUID setting;
        DWORD length, data;
      } off{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, 4, 0};
      SendMessageA(hostState.saverWindow, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                   reinterpret_cast<LPARAM>(&off));
    });
  return RunSaverWindow(nullptr);
}
