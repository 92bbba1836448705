#include "host/close_rules.h"
#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

// "mode handle" for each command line: F full screen, P preview, C configure,
// A password, X invalid; the handle is "-" when none was read.
TEST(CommandLine, ModesAndHandles) {
  // clang-format off
  const std::pair<const char *, const char *> cases[] = {
      {"x", "C -"}, {"x   - /", "C -"}, {"x /s", "F -"}, {"x -/ -s", "F -"}, {"x Saver", "F -"},
      {"x /p 1234", "P 1234"}, {"x /P1234", "P 1234"}, {"x /l   77 junk", "P 77"},
      {"x /p:123", "P 0"}, {"x /p", "P 0"}, {"x /p\t5", "P 0"}, {"x /c", "C -"},
      {"x /c:4567", "C 4567"}, {"x /c 4567", "C -"}, {"x /C:", "C 0"}, {"x /a 99", "A 99"},
      {"x /x", "X -"}, {"x /\ts", "X -"}, {"x 4", "X -"}, {"x /p 4294967297", "P 1"},
      {"x /p 42abc", "P 42"}, {"x /p -5", "P 0"}, {"x /p 0x10", "P 0"},
      // The program name, quoted or not, and the blanks after it.
      {"\"C:\\Program Files\\Gyrel Saver.scr\" /s", "F -"},
      {"\"C:\\Program Files\\Gyrel Saver.scr\"/p 5", "P 5"}, {"\"unterminated /s", "C -"},
      {"GyrelSaver.scr \t \t", "C -"}, {"GyrelSaver.scr\t\t/s", "F -"},
      {"GyrelSaver.scr \t/s", "F -"}, {"\"\"", "C -"}};
  // clang-format on
  for (const auto &[line, expected] : cases) {
    const char *tail = SkipProgramName(line, [](const char *p) { return p + 1; });
    const CommandLineChoice choice = ScanCommandLine(tail);
    const std::string got = std::string(1, "FPCAX"[int(choice.mode)]) + " " +
                            (choice.hasHandle ? std::to_string(choice.handle) : "-");
    EXPECT_EQ(got, expected) << '"' << line << '"';
  }
}

// The saver asks for power-setting notifications itself: they never close it
// (the window procedure answers them; the rules hold for any other caller).
TEST(CloseRules, ASettingChangeNeverCloses) {
  std::uint8_t last = 1;
  const auto ac = +[]() -> std::uint8_t { return 1; };
  EXPECT_FALSE(PowerBroadcastCloses(0x8013, 0, last, ac));
  EXPECT_TRUE(PowerBroadcastCloses(0x8012, 0, last, ac)) << "an unknown event closes";
}
