// Test double of the 9x password control-panel module (PASSWORD.CPL): logs
// each call with the system's screen-saver-running flag and answers with the
// verdict in the file GYREL_VERIFY_ANSWER_FILE names ("0" or "1"). Logs
// being loaded too, for its second part: a DLL planted beside the saver.
#include <windows.h>

#include "tests/doubles/double_log.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DoubleLog("loaded\n");
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  FaultWhenAsked();
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  const char *path = std::getenv("GYREL_VERIFY_ANSWER_FILE");
  FILE *file = path ? std::fopen(path, "r") : nullptr;
  const BOOL answer = file && std::fgetc(file) == '1';
  if (file) std::fclose(file);
  DoubleLog("verify window=%d running=%d answer=%d\n", window != nullptr, running, answer);
  return answer;
}
