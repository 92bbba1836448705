#include "figure/color_walker.h"

#include <gtest/gtest.h>

#include "figure/random.h"

namespace {
// Generator state that makes the next draws come out as wanted is hard to
// find; instead these tests count draws by comparing with a replay.
int DrawsTakenBy(void (*action)()) {
  SeedRandom(1234);
  action();
  const int after = NextRandom();
  for (int draws = 0; draws < 50; ++draws) {
    SeedRandom(1234);
    for (int i = 0; i < draws; ++i)
      NextRandom();
    if (NextRandom() == after) return draws;
  }
  return -1;
}
} // namespace

TEST(ColorWalker, ConstructionValues) {
  ColorWalker walker;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(walker.channel[i], 255);
    EXPECT_EQ(walker.changeChance[i], 1000);
    EXPECT_EQ(walker.lowerBound[i], 0);
    EXPECT_EQ(walker.upperBound[i], 255);
  }
  EXPECT_EQ(walker.stepSize, 1);
  EXPECT_EQ(walker.direction, 1);
}

TEST(ColorWalker, GetColorPacksLowBytes) {
  ColorWalker walker;
  walker.channel[0] = 0x12;
  walker.channel[1] = 0x34;
  walker.channel[2] = 0x56;
  EXPECT_EQ(walker.GetColor(), 0x00563412u);
  walker.channel[0] = 0x1FF; // only the low 8 bits count
  EXPECT_EQ(walker.GetColor() & 0xFFu, 0xFFu);
}

TEST(ColorWalker, SetColorTakesOnlyChannelsWithinBounds) {
  ColorWalker walker;
  walker.SetColor(300, 10, 10);
  EXPECT_EQ(walker.channel[0], 255);
  EXPECT_EQ(walker.channel[1], 10);
  EXPECT_EQ(walker.channel[2], 10);
  walker.SetLowerBounds(43, 43, 43);
  walker.SetColor(43, 42, -1); // inclusive lower bound
  EXPECT_EQ(walker.channel[0], 43);
  EXPECT_EQ(walker.channel[1], 10);
}

TEST(ColorWalker, EveryStepTakesThreeDraws) {
  EXPECT_EQ(DrawsTakenBy([] {
              ColorWalker walker;
              SeedRandom(1234);
              walker.Step();
            }),
            3);
  EXPECT_EQ(DrawsTakenBy([] {
              ColorWalker walker;
              walker.SetChangeChances(0, 0, 0);
              SeedRandom(1234);
              walker.Step();
            }),
            3);
}

TEST(ColorWalker, FreshWalkerTurnsDownThenLowersOneChannel) {
  ColorWalker walker;
  walker.Step();
  EXPECT_EQ(walker.direction, -1);
  EXPECT_EQ(walker.channel[0] + walker.channel[1] + walker.channel[2], 3 * 255 - 1);
}

TEST(ColorWalker, ZeroChanceNeverMoves) {
  ColorWalker walker;
  walker.SetChangeChances(0, 0, 0);
  for (int i = 0; i < 1000; ++i)
    walker.Step();
  EXPECT_EQ(walker.GetColor(), 0x00FFFFFFu);
}

// The turning test is strict, acceptance inclusive.
TEST(ColorWalker, TurningAndAcceptanceAtTheLowerBound) {
  struct Case {
    int channels[3];
    int expectedDirection;
  };
  const Case cases[] = {
      {{45, 45, 60}, -1}, // blue can still reach 50
      {{53, 53, 53}, -1}, // 43 is reachable
      {{52, 52, 52}, +1}, // 42 is not
      {{45, 45, 45}, +1},
  };
  for (const Case &c : cases) {
    ColorWalker walker;
    walker.SetLowerBounds(43, 43, 43);
    walker.SetStepSize(10);
    walker.direction = -1;
    walker.SetColor(c.channels[0], c.channels[1], c.channels[2]);
    walker.Step();
    EXPECT_EQ(walker.direction, c.expectedDirection) << c.channels[0] << "," << c.channels[2];
  }
}

TEST(ColorWalker, TurnedWalkerMovesOneChannelUpTheSameStep) {
  ColorWalker walker;
  walker.SetLowerBounds(43, 43, 43);
  walker.SetStepSize(10);
  walker.direction = -1;
  walker.SetColor(45, 45, 45);
  walker.Step();
  EXPECT_EQ(walker.channel[0] + walker.channel[1] + walker.channel[2], 45 * 3 + 10);
}

TEST(ColorWalker, StepCanLandExactlyOnTheBoundButNotBeyond) {
  for (int start : {53, 52}) {
    ColorWalker walker;
    walker.SetLowerBounds(43, 43, 43);
    walker.SetUpperBounds(start, start, start);
    walker.SetStepSize(10);
    walker.direction = -1;
    walker.SetColor(start, start, start);
    for (int i = 0; i < 200; ++i)
      walker.Step();
    for (int channel : walker.channel) {
      EXPECT_GE(channel, 43);
      EXPECT_LE(channel, start);
    }
  }
}

TEST(ColorWalker, ChannelOutsideItsBoundsStaysOutside) {
  ColorWalker walker;
  walker.SetColor(20, 20, 20);
  walker.SetLowerBounds(43, 43, 43);
  walker.SetStepSize(10);
  for (int i = 0; i < 500; ++i)
    walker.Step();
  for (int channel : walker.channel)
    EXPECT_EQ(channel, 20);
}

TEST(ColorWalker, ExtremeFieldValuesStayDefined) {
  ColorWalker walker;
  walker.SetStepSize(2147483647);
  walker.SetLowerBounds(-2147483647 - 1, 0, 0);
  walker.SetUpperBounds(2147483647, 255, 255);
  for (int i = 0; i < 50; ++i)
    walker.Step();
  SUCCEED();
}
