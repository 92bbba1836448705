// Test double of the 9x password control-panel module (PASSWORD.CPL), for
// the tests only. It appends a line per event to the file GYREL_DOUBLE_LOG
// names: being loaded, with the system's screen-saver-running flag (so it can
// stand for a DLL planted beside the saver, and rundll32 can read the flag
// through it), and each check with the flag and its answer: the first check
// of a process refuses, later ones accept. With GYREL_DOUBLE_FAULT set, a
// check faults instead, to show the fault guard.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
void Log(const char *event, int answer = -1) {
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  if (FILE *log = path ? std::fopen(path, "a") : nullptr)
    std::fprintf(log, "%s running=%d answer=%d\n", event, running, answer), std::fclose(log);
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("loaded");
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND) {
  if (std::getenv("GYREL_DOUBLE_FAULT")) *static_cast<volatile int *>(nullptr) = 1;
  static int checks = 0;
  const BOOL answer = ++checks > 1;
  Log("verify", answer);
  return answer;
}
