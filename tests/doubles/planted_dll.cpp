// Stands for a DLL planted beside the saver: it notes its loading in the file
// GYREL_DOUBLE_LOG names, so a test sees whether it was ever run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  if (FILE *log = reason == DLL_PROCESS_ATTACH && path ? std::fopen(path, "a") : nullptr)
    std::fputs("loaded\n", log), std::fclose(log);
  return TRUE;
}
