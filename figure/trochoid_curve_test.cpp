#include "figure/trochoid_curve.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/recording_surface.h"

TEST(TrochoidCurve, DivisorsLapsAndStepsPerRun) {
  EXPECT_EQ(GreatestCommonDivisor(0, 7), -1);
  EXPECT_EQ(GreatestCommonDivisor(-90, 150), 30);
  EXPECT_EQ(GreatestCommonDivisor(-2147483647 - 1, -2147483647 - 1), 2147483647);
  struct Case {
    int fixed, rolling;
    double step;
    int laps, steps;
  };
  const Case cases[] = {{200, -10, 0.01, 1, 629},    {150, 40, -0.01, 4, 2514},
                        {199, -99, 0.01, 99, 62204}, {150, -90, 0.01, 3, 1885},
                        {200, 0, 0.01, 0, 1},        {0, 5, 0.01, 5, 3142}};
  for (const Case &c : cases) {
    TrochoidCurve curve;
    curve.SetFixedRadius(c.fixed);
    curve.SetRollingRadius(c.rolling);
    curve.SetAngleStep(c.step);
    EXPECT_EQ(curve.ClosingLaps(), c.laps) << c.fixed << "," << c.rolling;
    EXPECT_EQ(curve.stepsPerRun, c.steps) << c.fixed << "," << c.rolling;
  }
}

// Points drawn and result per call for a 629-step curve; a pen every call.
TEST(TrochoidCurve, RunProgressByCount) {
  const std::pair<int, const char *> cases[] = {
      {300, "300+ 300+ 29- 0-"}, {629, "629+ 0-"}, {800, "629- 0-"}, {0, "0+ 0+"}, {-5, "0+"}};
  for (const auto &[count, expected] : cases) {
    TrochoidCurve curve;
    RecordingSurface surface;
    std::string got;
    while (got.size() < std::strlen(expected)) {
      const bool still = curve.DrawStep(surface, 100, 100, count);
      got += (got.empty() ? "" : " ") + std::to_string(surface.polylines.back().size()) +
             (still ? "+" : "-");
    }
    EXPECT_EQ(got, expected) << count;
    EXPECT_EQ(surface.penColors.size(), surface.polylines.size());
    EXPECT_EQ(surface.livePens, 0);
  }
}
