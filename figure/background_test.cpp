#include "figure/background.h"

#include <gtest/gtest.h>

#include <sstream>

#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

// "brightness red green blue change fixed" (frequency 7), then the corner's
// upper bound, the centre's colour, the edge's and the corner's chances: the
// corners' green and blue chances are crossed.
TEST(Background, RangesFromTheSettings) {
  const std::pair<const char *, const char *> cases[] = {
      {"128 100 100 100 1 0", "64,64,64 128,128,128 1000,1000,1000 1000,1000,1000"},
      {"200 100 50 0 1 0", "100,50,0 200,100,0 1000,500,0 1000,0,500"},
      {"255 33 100 1 1 0", "42,127,1 84,255,2 330,1000,10 330,10,1000"},
      {"128 100 100 100 0 1", "64,64,64 128,128,128 0,0,0 0,0,0"},
      {"128 100 100 100 1 1", "64,64,64 128,128,128 7,7,7 7,7,7"},
      {"128 0 0 0 1 0", "0,0,0 0,0,0 0,0,0 0,0,0"}};
  for (const auto &[given, expected] : cases) {
    settings = SaverSettings();
    settings.ChangeFrequency = 7;
    std::istringstream(given) >> settings.MaxBrightness >> settings.Red >> settings.Green >>
        settings.Blue >> settings.ChangeBackground >> settings.UseFixedFrequency;
    ColorWalker corner, edge, center;
    SetBackgroundRanges(corner, edge, center);
    std::string got;
    for (const int *values :
         {corner.upperBound, center.channel, edge.changeChance, corner.changeChance})
      for (int i = 0; i < 3; ++i)
        got += std::to_string(values[i]) + (i < 2 ? "," : " ");
    EXPECT_EQ(got, std::string(expected) + " ") << given;
  }
}
