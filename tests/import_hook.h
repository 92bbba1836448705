// Replaces one entry of this executable's import table, so a test can record
// the calls the code under test makes to a system function.
#pragma once

// Returns the original function, or null when the import is not found.
void *HookImport(const char *dllName, const char *functionName, void *replacement);

// The same, typed: the replacement has the function's own type, and so has the result.
template <typename Function>
Function HookImport(const char *dllName, const char *functionName, Function replacement) {
  return reinterpret_cast<Function>(
      HookImport(dllName, functionName, reinterpret_cast<void *>(replacement)));
}
