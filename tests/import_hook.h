// Replaces one entry of this executable's import table, so a test can record
// the calls the code under test makes to a system function.
#pragma once

// Returns the original function, or null when the import is not found.
void *HookImport(const char *dllName, const char *functionName, void *replacement);
template <typename Function> Function HookImport(const char *dll, const char *name, Function with) {
  return reinterpret_cast<Function>(HookImport(dll, name, reinterpret_cast<void *>(with)));
}
