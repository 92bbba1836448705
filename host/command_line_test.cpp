#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

// "mode handle" for each tail: F full screen, P preview, C configure, A password, X invalid;
// the handle is "-" when none was read.
TEST(CommandLine, ModesAndHandles) {
  const std::pair<const char *, const char *> cases[] = {{"", "C -"},
                                                         {"  - /", "C -"},
                                                         {"/s", "F -"},
                                                         {"-/ -s", "F -"},
                                                         {"Saver", "F -"},
                                                         {"/p 1234", "P 1234"},
                                                         {"/P1234", "P 1234"},
                                                         {"/l   77 junk", "P 77"},
                                                         {"/p:123", "P 0"},
                                                         {"/p", "P 0"},
                                                         {"/p\t5", "P 0"},
                                                         {"/c", "C -"},
                                                         {"/c:4567", "C 4567"},
                                                         {"/c 4567", "C -"},
                                                         {"/C:", "C 0"},
                                                         {"/a 99", "A 99"},
                                                         {"/x", "X -"},
                                                         {"\t/s", "X -"},
                                                         {"/\ts", "X -"},
                                                         {"4", "X -"},
                                                         {"/p 4294967297", "P 1"},
                                                         {"/p 42abc", "P 42"},
                                                         {"/p -5", "P 0"},
                                                         {"/p 0x10", "P 0"}};
  for (const auto &[tail, expected] : cases) {
    const CommandLineChoice choice = ScanCommandLine(tail);
    const std::string got = std::string(1, "FPCAX"[int(choice.mode)]) + " " +
                            (choice.hasHandle ? std::to_string(choice.handle) : "-");
    EXPECT_EQ(got, expected) << '"' << tail << '"';
  }
}

TEST(CommandLine, SkipProgramName) {
  const std::pair<const char *, const char *> cases[] = {
      {"GyrelSaver.scr /s", "/s"},
      {"\"C:\\Program Files\\Gyrel Saver.scr\" /s", "/s"},
      {"\"C:\\Program Files\\Gyrel Saver.scr\"/p 5", "/p 5"},
      {"\"unterminated /s", ""},
      {"GyrelSaver.scr \t \t", ""},
      {"GyrelSaver.scr\t\t/c", "/c"},
      {"\"\"", ""}};
  for (const auto &[line, tail] : cases)
    EXPECT_STREQ(SkipProgramName(line, [](const char *p) { return p + 1; }), tail) << line;
}
