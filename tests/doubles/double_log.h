// What the test doubles write to the file in GYREL_DOUBLE_LOG, one call a
// line; with GYREL_DOUBLE_FAULT set they fault instead, to show the saver's
// fault guard. For the tests only; never shipped.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

inline void DoubleLog(const char *format, ...) {
  const char *path = std::getenv("GYREL_DOUBLE_LOG");
  if (FILE *log = path ? std::fopen(path, "a") : nullptr) {
    va_list args;
    va_start(args, format);
    std::vfprintf(log, format, args);
    va_end(args);
    std::fclose(log);
  }
}

inline void FaultWhenAsked() {
  if (std::getenv("GYREL_DOUBLE_FAULT")) *static_cast<volatile int *>(nullptr) = 1;
}
