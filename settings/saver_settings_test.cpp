#include "settings/saver_settings.h"

#include <gtest/gtest.h>

#include "tests/memory_registry.h"

namespace {
class Settings : public ::testing::Test {
protected:
  void SetUp() override { memoryRegistry = MemoryRegistry(); }
  SaverSettings loaded;
};

void ExpectDefaults(const SaverSettings &s) {
  EXPECT_EQ(s.DrawSpeed, 1u);
  EXPECT_EQ(s.MinGyrels, 3);
  EXPECT_EQ(s.MaxGyrels, 5);
  EXPECT_EQ(s.MaxBrightness, 128u);
  EXPECT_EQ(s.PointsPerCycle, 200u);
  EXPECT_EQ(s.Red, 100u);
  EXPECT_EQ(s.Green, 100u);
  EXPECT_EQ(s.Blue, 100u);
  EXPECT_EQ(s.ChangeFrequency, 1000u);
  EXPECT_EQ(s.RefreshPause, 4u);
  EXPECT_FALSE(s.UseFixedFrequency);
  EXPECT_TRUE(s.ChangeBackground);
  EXPECT_EQ(s.PauseTicks, 200u);
}
} // namespace

TEST_F(Settings, ConstructionValues) {
  SaverSettings s;
  ExpectDefaults(s);
  EXPECT_EQ(s.HelpFile, "");
}

TEST_F(Settings, EmptyRegistryGivesEveryDefault) {
  loaded.Load();
  ExpectDefaults(loaded);
  EXPECT_EQ(loaded.HelpFile, kDefaultHelpFile);
}

TEST_F(Settings, PauseTicksFollowsBothSetters) {
  struct Case {
    unsigned pause, speed, ticks;
  };
  const Case cases[] = {{4, 1, 200}, {4, 10, 20}, {10, 1, 500}, {1, 3, 16}, {4, 500, 0}};
  for (const Case &c : cases) {
    SaverSettings s;
    s.SetDrawSpeed(c.speed);
    s.SetRefreshPause(c.pause);
    EXPECT_EQ(s.PauseTicks, c.ticks) << c.pause << "/" << c.speed;
  }
  SaverSettings s;
  s.SetDrawSpeed(10);
  EXPECT_EQ(s.RefreshPause, 4u);
  EXPECT_EQ(s.PauseTicks, 20u);
}

// Each stored number against its bounds: out of range means the default.
TEST_F(Settings, NumbersOutsideTheirBoundsLoadTheDefault) {
  struct Case {
    const char *name;
    unsigned stored;
    unsigned expected;
    unsigned SaverSettings::*field;
  };
  const Case cases[] = {
      {"DrawSpeed", 0, 1, &SaverSettings::DrawSpeed},
      {"DrawSpeed", 501, 1, &SaverSettings::DrawSpeed},
      {"DrawSpeed", 500, 500, &SaverSettings::DrawSpeed},
      {"DrawSpeed", 0xFFFFFFFF, 1, &SaverSettings::DrawSpeed},
      {"MaxBrightness", 256, 128, &SaverSettings::MaxBrightness},
      {"MaxBrightness", 0, 0, &SaverSettings::MaxBrightness},
      {"PointsPerCycle", 801, 200, &SaverSettings::PointsPerCycle},
      {"PointsPerCycle", 0, 0, &SaverSettings::PointsPerCycle},
      {"Red", 101, 100, &SaverSettings::Red},
      {"Green", 0, 0, &SaverSettings::Green},
      {"Blue", 0xFFFFFFFF, 100, &SaverSettings::Blue},
      {"ChangeFrequency", 0, 1000, &SaverSettings::ChangeFrequency},
      {"ChangeFrequency", 1, 1, &SaverSettings::ChangeFrequency},
      {"RefreshPause", 11, 4, &SaverSettings::RefreshPause},
      {"RefreshPause", 0, 0, &SaverSettings::RefreshPause},
  };
  for (const Case &c : cases) {
    memoryRegistry = MemoryRegistry();
    memoryRegistry.numbers[c.name] = c.stored;
    loaded.Load();
    EXPECT_EQ(loaded.*c.field, c.expected) << c.name << " = " << c.stored;
  }
}

TEST_F(Settings, BooleansTakeTheirDefaultUnlessZeroOrOne) {
  struct Case {
    unsigned stored;
    bool fixed, change;
  };
  const Case cases[] = {
      {0, false, false}, {1, true, true}, {2, false, true}, {0xFFFFFFFF, false, true}};
  for (const Case &c : cases) {
    memoryRegistry = MemoryRegistry();
    memoryRegistry.numbers["UseFixedFrequency"] = c.stored;
    memoryRegistry.numbers["ChangeBackground"] = c.stored;
    loaded.Load();
    EXPECT_EQ(loaded.UseFixedFrequency, c.fixed) << c.stored;
    EXPECT_EQ(loaded.ChangeBackground, c.change) << c.stored;
  }
}

TEST_F(Settings, CurveCountRangeStaysOrdered) {
  struct Case {
    int storedMin, storedMax; // -1: absent
    int min, max;
  };
  const Case cases[] = {
      {4, 3, 4, 5}, {4, -1, 4, 5},  {8, -1, 8, 8}, {8, 6, 8, 8},   {20, 1, 20, 20},
      {0, 2, 3, 5}, {21, 21, 3, 5}, {7, 7, 7, 7},  {1, 20, 1, 20}, {-1, 2, 3, 5},
  };
  for (const Case &c : cases) {
    memoryRegistry = MemoryRegistry();
    if (c.storedMin >= 0) memoryRegistry.numbers["MinGyrels"] = static_cast<unsigned>(c.storedMin);
    if (c.storedMax >= 0) memoryRegistry.numbers["MaxGyrels"] = static_cast<unsigned>(c.storedMax);
    loaded.Load();
    EXPECT_EQ(loaded.MinGyrels, c.min) << c.storedMin << "," << c.storedMax;
    EXPECT_EQ(loaded.MaxGyrels, c.max) << c.storedMin << "," << c.storedMax;
    EXPECT_GE(loaded.MaxGyrels - loaded.MinGyrels + 1, 1);
  }
}

TEST_F(Settings, SaveThenLoadGivesBackEveryField) {
  SaverSettings edited;
  edited.HelpFile = "D:\\Help\\Gyrel.chm";
  edited.SetDrawSpeed(37);
  edited.MinGyrels = 2;
  edited.MaxGyrels = 19;
  edited.MaxBrightness = 201;
  edited.PointsPerCycle = 799;
  edited.Red = 1;
  edited.Green = 2;
  edited.Blue = 3;
  edited.ChangeFrequency = 999;
  edited.SetRefreshPause(9);
  edited.UseFixedFrequency = true;
  edited.ChangeBackground = false;
  edited.Save();
  EXPECT_EQ(memoryRegistry.Size(), 13u);
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, edited.HelpFile);
  EXPECT_EQ(loaded.DrawSpeed, 37u);
  EXPECT_EQ(loaded.MinGyrels, 2);
  EXPECT_EQ(loaded.MaxGyrels, 19);
  EXPECT_EQ(loaded.MaxBrightness, 201u);
  EXPECT_EQ(loaded.PointsPerCycle, 799u);
  EXPECT_EQ(loaded.Red, 1u);
  EXPECT_EQ(loaded.Green, 2u);
  EXPECT_EQ(loaded.Blue, 3u);
  EXPECT_EQ(loaded.ChangeFrequency, 999u);
  EXPECT_EQ(loaded.RefreshPause, 9u);
  EXPECT_TRUE(loaded.UseFixedFrequency);
  EXPECT_FALSE(loaded.ChangeBackground);
  EXPECT_EQ(loaded.PauseTicks, 9u * 50 / 37);
}

TEST_F(Settings, AFailedWriteDoesNotStopTheOthers) {
  memoryRegistry.failingWrite = 1; // the help file
  SaverSettings s;
  s.Save();
  EXPECT_EQ(memoryRegistry.writes, 13);
  EXPECT_EQ(memoryRegistry.Size(), 12u);
  EXPECT_EQ(memoryRegistry.texts.count("HelpFile"), 0u);
}
