// libFuzzer target: the command-line scan on arbitrary bytes. The input is
// copied into a buffer of exactly its size plus the terminator, so any read
// past the text is caught by AddressSanitizer.
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  std::vector<char> text(size + 1);
  std::memcpy(text.data(), data, size);
  text[size] = '\0';
  const char *tail = SkipProgramName(text.data(), [](const char *p) { return p + 1; });
  const CommandLineChoice choice = ScanCommandLine(tail);
  if (!choice.hasHandle && choice.handle != 0) __builtin_trap();
  ParseWindowHandle(tail);
  return 0;
}
