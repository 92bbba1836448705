#include "host/command_line.h"

std::uint32_t ParseWindowHandle(const char *text) {
  std::uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text)
    value = value * 10u + static_cast<std::uint32_t>(*text - '0');
  return value;
}

CommandLineChoice ScanCommandLine(const char *tail) {
  const char *p = tail;
  while (*p == ' ' || *p == '-' || *p == '/')
    ++p;
  switch (*p) {
  case '\0':
    return {SaverMode::Configure, false, 0, '\0'};
  case 's':
  case 'S':
    return {SaverMode::FullScreen, false, 0, *p};
  case 'p':
  case 'P':
  case 'l':
  case 'L':
  case 'a':
  case 'A': {
    const char letter = *p;
    const SaverMode mode =
        (letter == 'a' || letter == 'A') ? SaverMode::ChangePassword : SaverMode::Preview;
    ++p;
    while (*p == ' ')
      ++p;
    return {mode, true, ParseWindowHandle(p), letter};
  }
  case 'c':
  case 'C':
    if (p[1] == ':') return {SaverMode::Configure, true, ParseWindowHandle(p + 2), *p};
    return {SaverMode::Configure, false, 0, *p};
  default:
    return {SaverMode::Invalid, false, 0, *p};
  }
}
