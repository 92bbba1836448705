#include "settings/saver_settings.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/memory_registry.h"

namespace {
// The loaded value of a setting by its registry name, booleans as 0 or 1.
long long Loaded(const SaverSettings &s, const std::string &name) {
  const std::map<std::string, long long> values = {
      {"DrawSpeed", s.DrawSpeed},       {"MinGyrels", s.MinGyrels},
      {"MaxGyrels", s.MaxGyrels},       {"MaxBrightness", s.MaxBrightness},
      {"PointsPerCycle", s.PointsPerCycle}, {"Red", s.Red},
      {"Blue", s.Blue},                 {"ChangeFrequency", s.ChangeFrequency},
      {"RefreshPause", s.RefreshPause}, {"PauseTicks", s.PauseTicks},
      {"UseFixedFrequency", s.UseFixedFrequency}, {"ChangeBackground", s.ChangeBackground}};
  return values.at(name);
}
} // namespace

// What is stored, and what loads: out of bounds means the value's default.
TEST(Settings, LoadingRules) {
  struct Case {
    std::map<std::string, std::uint32_t> stored;
    std::map<std::string, long long> loaded;
  };
  const Case cases[] = {
      {{}, {{"DrawSpeed", 1}, {"MinGyrels", 3}, {"MaxGyrels", 5}, {"MaxBrightness", 128},
            {"PointsPerCycle", 200}, {"Red", 100}, {"ChangeFrequency", 1000},
            {"RefreshPause", 4}, {"PauseTicks", 200}, {"UseFixedFrequency", 0},
            {"ChangeBackground", 1}}},
      {{{"DrawSpeed", 0}, {"MaxBrightness", 256}, {"PointsPerCycle", 801}, {"Red", 101},
        {"ChangeFrequency", 0}, {"RefreshPause", 11}, {"Blue", 0xFFFFFFFF}},
       {{"DrawSpeed", 1}, {"MaxBrightness", 128}, {"PointsPerCycle", 200}, {"Red", 100},
        {"ChangeFrequency", 1000}, {"RefreshPause", 4}, {"Blue", 100}}},
      {{{"DrawSpeed", 500}, {"MaxBrightness", 0}, {"PointsPerCycle", 0}, {"RefreshPause", 10},
        {"ChangeFrequency", 1}},
       {{"DrawSpeed", 500}, {"MaxBrightness", 0}, {"PointsPerCycle", 0}, {"PauseTicks", 1},
        {"ChangeFrequency", 1}}},
      {{{"DrawSpeed", 3}, {"RefreshPause", 1}}, {{"PauseTicks", 16}}},
      {{{"UseFixedFrequency", 2}, {"ChangeBackground", 2}},
       {{"UseFixedFrequency", 0}, {"ChangeBackground", 1}}},
      {{{"UseFixedFrequency", 1}, {"ChangeBackground", 0}},
       {{"UseFixedFrequency", 1}, {"ChangeBackground", 0}}},
      // The curve counts: 0 is a picture of the background alone; the range stays ordered.
      {{{"MinGyrels", 0}, {"MaxGyrels", 0}}, {{"MinGyrels", 0}, {"MaxGyrels", 0}}},
      {{{"MinGyrels", 0}, {"MaxGyrels", 2}}, {{"MinGyrels", 0}, {"MaxGyrels", 2}}},
      {{{"MinGyrels", 4}, {"MaxGyrels", 3}}, {{"MinGyrels", 4}, {"MaxGyrels", 5}}},
      {{{"MinGyrels", 8}}, {{"MinGyrels", 8}, {"MaxGyrels", 8}}},
      {{{"MinGyrels", 20}, {"MaxGyrels", 1}}, {{"MinGyrels", 20}, {"MaxGyrels", 20}}},
      {{{"MinGyrels", 21}, {"MaxGyrels", 21}}, {{"MinGyrels", 3}, {"MaxGyrels", 5}}},
  };
  for (const Case &c : cases) {
    memoryRegistry = MemoryRegistry();
    memoryRegistry.numbers = c.stored;
    SaverSettings s;
    s.Load();
    for (const auto &[name, expected] : c.loaded)
      EXPECT_EQ(Loaded(s, name), expected) << name << " with " << c.stored.size() << " stored";
  }
}

TEST(Settings, SaveWritesEveryValueAndStopsAtTheFirstRefusal) {
  memoryRegistry = MemoryRegistry();
  SaverSettings edited;
  edited.SetDrawSpeed(37);
  edited.MinGyrels = 0;
  edited.MaxGyrels = 19;
  edited.UseFixedFrequency = true;
  EXPECT_TRUE(edited.Save());
  EXPECT_EQ(memoryRegistry.Size(), 13u);
  SaverSettings loaded;
  loaded.Load();
  for (const char *name : {"DrawSpeed", "MinGyrels", "MaxGyrels", "UseFixedFrequency", "Red"})
    EXPECT_EQ(Loaded(loaded, name), Loaded(edited, name)) << name;

  memoryRegistry = MemoryRegistry();
  memoryRegistry.failingWrite = 4;
  EXPECT_FALSE(edited.Save());
  EXPECT_EQ(memoryRegistry.writes, 4);
  EXPECT_EQ(memoryRegistry.Size(), 3u);
}
