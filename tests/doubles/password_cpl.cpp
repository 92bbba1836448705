// Test double of the 9x password control-panel module (PASSWORD.CPL), for
// the tests only. It appends a line per event to the file GYREL_DOUBLE_LOG
// names: being loaded (so it can stand for a DLL planted beside the saver),
// and each check with the screen-saver-running flag and its answer: the
// first check of a process refuses, later ones accept. With
// GYREL_DOUBLE_FAULT set, a check faults instead, to show the fault guard.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
void Log(const char *line) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  if (FILE *log = path ? std::fopen(path, "a") : nullptr) std::fputs(line, log), std::fclose(log);
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("loaded\n");
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  if (std::getenv("GYREL_DOUBLE_FAULT")) *static_cast<volatile int *>(nullptr) = 1;
  static int checks = 0;
  const BOOL answer = ++checks > 1;
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  char line[64];
  std::snprintf(line, sizeof line, "verify window=%d running=%d answer=%d\n", window != nullptr,
                running, answer);
  Log(line);
  return answer;
}
