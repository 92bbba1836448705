// Replaces an entry of this executable's import table, so a test sees the calls
// made to a system function. Returns the original, or null when not imported.
#pragma once

void *HookImport(const char *dllName, const char *functionName, void *replacement);
template <typename Function> Function HookImport(const char *dll, const char *name, Function with) {
  return reinterpret_cast<Function>(HookImport(dll, name, reinterpret_cast<void *>(with)));
}

// Makes the code under test read the tick count moved on by `clockOffset` ms.
extern unsigned long clockOffset;
void HookTickCount();
