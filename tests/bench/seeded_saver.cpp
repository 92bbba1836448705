// The full-screen saver with its random generator seeded from the command
// line instead of the clock, so that two runs draw the same picture (for
// screenshots that compare settings).
//   seeded_saver.exe SEED
#include <cstdlib>

#include "figure/random.h"
#include "host/host_state.h"

int main(int argc, char **argv) {
  hostState.instance = GetModuleHandleA(nullptr);
  SeedRandom(static_cast<std::uint32_t>(argc > 1 ? std::atol(argv[1]) : 1));
  return RunSaverWindow(nullptr);
}
