// Test double of the 9x password control-panel module (PASSWORD.CPL), for
// the tests only. It appends a line per event to the file GYREL_DOUBLE_LOG
// names: being loaded (so it can stand for a DLL planted beside the saver),
// and each check with the screen-saver-running flag and the answer, read
// from the file GYREL_VERIFY_ANSWER_FILE ("1" accepts). With
// GYREL_DOUBLE_FAULT set, a check faults instead, to show the fault guard.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
FILE *Open(const char *variable, const char *mode) {
  const char *path = std::getenv(variable);
  return path ? std::fopen(path, mode) : nullptr;
}
void Log(const char *line) {
  if (FILE *log = Open("GYREL_DOUBLE_LOG", "a")) std::fputs(line, log), std::fclose(log);
}
} // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Log("loaded\n");
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  if (std::getenv("GYREL_DOUBLE_FAULT")) *static_cast<volatile int *>(nullptr) = 1;
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  FILE *file = Open("GYREL_VERIFY_ANSWER_FILE", "r");
  const BOOL answer = file && std::fgetc(file) == '1';
  if (file) std::fclose(file);
  char line[64];
  std::snprintf(line, sizeof line, "verify window=%d running=%d answer=%d\n", window != nullptr,
                running, answer);
  Log(line);
  return answer;
}
