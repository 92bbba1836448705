// The saver's command line: optional separators, one mode letter, and for
// some modes a window handle in decimal. Pure text logic, no system calls.
#pragma once
#include <cstdint>

enum class SaverMode { FullScreen, Preview, Configure, ChangePassword, Invalid };

struct CommandLineChoice {
  SaverMode mode;
  bool hasHandle;       // a handle was read (it may still be 0)
  std::uint32_t handle; // decimal digits read modulo 2^32
  char letter;          // the mode letter as given; '\0' for an empty tail
};

// Decimal digits from `text` until the first other character, modulo 2^32;
// 0 when there is no digit.
std::uint32_t ParseWindowHandle(const char *text);

// Scans the tail that follows the program name.
CommandLineChoice ScanCommandLine(const char *tail);

// Steps over the program name and the blanks after it. `next` advances one
// character (CharNextA on Windows, so multibyte code pages step correctly).
template <typename NextChar> const char *SkipProgramName(const char *p, NextChar next) {
  if (*p == '"') {
    do {
      p = next(p);
    } while (*p != '\0' && *p != '"');
    if (*p == '"') ++p;
  } else {
    while (static_cast<unsigned char>(*p) > ' ')
      p = next(p);
  }
  while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ')
    p = next(p);
  return p;
}
