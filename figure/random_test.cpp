#include "figure/random.h"

#include <gtest/gtest.h>

#include <vector>

TEST(NextRandom, KnownSequences) {
  struct Case {
    std::uint32_t seed;
    std::vector<int> values;
  };
  const Case cases[] = {{1, {41, 18467, 6334, 26500, 19169}}, {0, {38, 7719, 21238}}};
  for (const Case &c : cases) {
    SeedRandom(c.seed);
    for (int expected : c.values)
      EXPECT_EQ(NextRandom(), expected) << "seed " << c.seed;
  }
}

TEST(NextRandom, StaysWithinFifteenBits) {
  SeedRandom(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int value = NextRandom();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
  }
}
