#include "figure/color_walker.h"

#include <gtest/gtest.h>

#include "figure/random.h"

// One step from a start colour, with the pen walker's bounds (43 up, steps of
// 10). From seed 1 the step picks blue (18467 % 3) with a chance draw of 334.
TEST(ColorWalker, StepTurnsStrictlyAndAcceptsInclusively) {
  struct Case {
    int start[3], direction, chance, upper;
    int direction_after, sum_after; // sum of the channels after the step
  };
  const Case cases[] = {
      {{45, 45, 60}, -1, 1000, 255, -1, 140}, // blue can still reach 50
      {{53, 53, 53}, -1, 1000, 255, -1, 149}, // 43 is reachable
      {{52, 52, 52}, -1, 1000, 255, +1, 166}, // 42 is not: turn, rise the same step
      {{255, 255, 255}, +1, 1000, 255, -1, 755},
      {{255, 255, 255}, +1, 0, 255, -1, 765},   // no chance: turns, never moves
      {{53, 53, 53}, +1, 1000, 60, -1, 149},    // 63 is beyond the upper bound
      {{20, 20, 20}, +1, 1000, 255, +1, 60},    // a channel below its bounds stays there
      {{100, 100, 100}, -1, 334, 255, -1, 300}, // the draw is 334: chance 334 misses
      {{100, 100, 100}, -1, 335, 255, -1, 290},
  };
  for (const Case &c : cases) {
    ColorWalker walker;
    walker.SetLowerBounds(43, 43, 43);
    walker.SetUpperBounds(c.upper, c.upper, c.upper);
    walker.SetStepSize(10);
    walker.SetChangeChances(c.chance, c.chance, c.chance);
    for (int i = 0; i < 3; ++i)
      walker.channel[i] = c.start[i];
    walker.direction = c.direction;
    SeedRandom(1);
    walker.Step();
    EXPECT_EQ(walker.direction, c.direction_after) << c.start[0] << "," << c.start[2];
    EXPECT_EQ(walker.channel[0] + walker.channel[1] + walker.channel[2], c.sum_after)
        << c.start[0] << "," << c.start[2];
  }
}

TEST(ColorWalker, EveryStepTakesThreeDrawsAndColoursPackRedLow) {
  ColorWalker walker;
  walker.SetChangeChances(0, 0, 0);
  SeedRandom(1);
  walker.Step();
  EXPECT_EQ(NextRandom(), 26500);   // the fourth value from seed 1: 41, 18467, 6334, 26500
  walker.SetColor(0x12, 300, 0x56); // 300 is out of bounds: green keeps 255
  EXPECT_EQ(walker.GetColor(), 0x0056FF12u);
}
