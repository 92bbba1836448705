// Test double of the 9x password control-panel module (PASSWORD.CPL), for
// the end-to-end tests only; never shipped. Each call is logged to the file
// in GYREL_DOUBLE_LOG with the system's screen-saver-running flag; the
// verdict is read from the file in GYREL_VERIFY_ANSWER_FILE ("0" or "1").
// With GYREL_DOUBLE_FAULT set it faults instead, to show the fault guard.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
void Log(const char *text) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  if (!path) return;
  if (FILE *log = std::fopen(path, "a")) {
    std::fprintf(log, "%s\n", text);
    std::fclose(log);
  }
}

BOOL Answer() {
  const char *path = std::getenv("GYREL_VERIFY_ANSWER_FILE");
  FILE *file = path ? std::fopen(path, "r") : nullptr;
  if (!file) return FALSE;
  const int c = std::fgetc(file);
  std::fclose(file);
  return c == '1';
}
} // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  if (std::getenv("GYREL_DOUBLE_FAULT")) *static_cast<volatile int *>(nullptr) = 1;
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  const BOOL answer = Answer();
  char line[128];
  std::snprintf(line, sizeof line, "verify window=%d running=%d answer=%d", window != nullptr,
                running, answer);
  Log(line);
  return answer;
}
