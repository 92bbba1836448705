#include "config/dialog_values.h"

#include <gtest/gtest.h>

TEST(DialogValues, SpeedSliderRunsFromSlowToFast) {
  EXPECT_EQ(SpeedSliderPosition(1), 500);
  EXPECT_EQ(SpeedSliderPosition(500), 1);
  EXPECT_EQ(SpeedSliderPosition(250), 251);
  for (int position = 1; position <= 500; ++position)
    EXPECT_EQ(SpeedSliderPosition(DrawSpeedFromSlider(position)), position);
}

TEST(DialogValues, FrequencyAndEnabling) {
  EXPECT_FALSE(FrequencyAccepted(0));
  EXPECT_TRUE(FrequencyAccepted(1));
  EXPECT_TRUE(FrequencyAccepted(1000));
  EXPECT_FALSE(FrequencyAccepted(1001));
  struct Case {
    bool change, fixed, box, edit;
  };
  const Case cases[] = {{false, false, false, false},
                        {false, true, false, false},
                        {true, false, true, false},
                        {true, true, true, true}};
  for (const Case &c : cases) {
    const FrequencyControlsEnabled e = FrequencyEnabling(c.change, c.fixed);
    EXPECT_EQ(e.checkBox, c.box);
    EXPECT_EQ(e.editBox, c.edit);
  }
}

TEST(DialogValues, PlainNumbers) {
  for (const char *text : {"0", "7", "1000", " 12 ", "0001"})
    EXPECT_TRUE(IsPlainNumber(text)) << text;
  for (const char *text : {"", " ", "12a", "a12", "-5", "+5", "1 2", "0x10", "1.5"})
    EXPECT_FALSE(IsPlainNumber(text)) << text;
}

TEST(DialogValues, CountRangeStaysOrdered) {
  EXPECT_EQ(AfterMinimumMoved(6, 5).maximum, 6u);
  EXPECT_TRUE(AfterMinimumMoved(6, 5).otherMoved);
  EXPECT_FALSE(AfterMinimumMoved(5, 5).otherMoved);
  EXPECT_EQ(AfterMaximumMoved(3, 2).minimum, 2u);
  EXPECT_TRUE(AfterMaximumMoved(3, 2).otherMoved);
  EXPECT_FALSE(AfterMaximumMoved(0, 0).otherMoved);
}
