#include "host/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const char *StepByte(const char *p) { return p + 1; }
} // namespace

TEST(CommandLine, ModesFromTheTail) {
  struct Case {
    const char *tail;
    SaverMode mode;
    bool hasHandle;
    std::uint32_t handle;
  };
  const Case cases[] = {
      {"", SaverMode::Configure, false, 0},
      {"  - /", SaverMode::Configure, false, 0},
      {"/s", SaverMode::FullScreen, false, 0},
      {"S", SaverMode::FullScreen, false, 0},
      {"-/ -s", SaverMode::FullScreen, false, 0},
      {"Saver", SaverMode::FullScreen, false, 0},
      {"/p 1234", SaverMode::Preview, true, 1234},
      {"/P1234", SaverMode::Preview, true, 1234},
      {"/l   77 junk", SaverMode::Preview, true, 77},
      {"/p:123", SaverMode::Preview, true, 0},
      {"/p", SaverMode::Preview, true, 0},
      {"/p\t5", SaverMode::Preview, true, 0},
      {"/c", SaverMode::Configure, false, 0},
      {"/c:4567", SaverMode::Configure, true, 4567},
      {"/c 4567", SaverMode::Configure, false, 0},
      {"/C:", SaverMode::Configure, true, 0},
      {"/a 99", SaverMode::ChangePassword, true, 99},
      {"/A", SaverMode::ChangePassword, true, 0},
      {"/x", SaverMode::Invalid, false, 0},
      {"\t/s", SaverMode::Invalid, false, 0},
      {"/\ts", SaverMode::Invalid, false, 0},
      {"4", SaverMode::Invalid, false, 0},
      {"/p 4294967297", SaverMode::Preview, true, 1}, // wraps modulo 2^32
  };
  for (const Case &c : cases) {
    const CommandLineChoice choice = ScanCommandLine(c.tail);
    EXPECT_EQ(choice.mode, c.mode) << '"' << c.tail << '"';
    EXPECT_EQ(choice.hasHandle, c.hasHandle) << '"' << c.tail << '"';
    EXPECT_EQ(choice.handle, c.handle) << '"' << c.tail << '"';
  }
}

TEST(CommandLine, ParseWindowHandleReadsDigitsOnly) {
  struct Case {
    const char *text;
    std::uint32_t value;
  };
  const Case cases[] = {{"", 0},
                        {"x1", 0},
                        {"0", 0},
                        {"42abc", 42},
                        {"-5", 0},
                        {"+5", 0},
                        {"0x10", 0},
                        {" 7", 0},
                        {"4294967295", 4294967295u},
                        {"4294967296", 0},
                        {"99999999999", 1215752191u}};
  for (const Case &c : cases)
    EXPECT_EQ(ParseWindowHandle(c.text), c.value) << c.text;
}

TEST(CommandLine, SkipProgramName) {
  struct Case {
    const char *line;
    const char *tail;
  };
  const Case cases[] = {
      {"GyrelSaver.scr /s", "/s"},
      {"\"C:\\Program Files\\Gyrel Saver.scr\" /s", "/s"},
      {"\"C:\\Program Files\\Gyrel Saver.scr\"/p 5", "/p 5"},
      {"\"unterminated /s", ""},
      {"GyrelSaver.scr", ""},
      {"GyrelSaver.scr \t \t", ""},
      {"GyrelSaver.scr\t\t/c", "/c"},
      {"", ""},
      {"\"\"", ""},
  };
  for (const Case &c : cases)
    EXPECT_STREQ(SkipProgramName(c.line, StepByte), c.tail) << c.line;
}
