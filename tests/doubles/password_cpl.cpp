// Test double of the 9x PASSWORD.CPL. It logs to GYREL_DOUBLE_LOG its loading
// (it also stands for a planted DLL; rundll32 reads the flag this way) and each
// check, with the screen-saver-running flag and the answer: a process's first
// check refuses, later ones accept; with GYREL_DOUBLE_FAULT set a check faults.
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
