#include "figure/trochoid_curve.h"

#include <gtest/gtest.h>

#include "figure/color_walker.h"
#include "tests/recording_surface.h"

TEST(GreatestCommonDivisor, Table) {
  const int cases[][3] = {{0, 7, -1},     {7, 0, -1},
                          {-12, 18, 6},   {1, 150, 1},
                          {-90, 150, 30}, {-2147483647 - 1, -2147483647 - 1, 2147483647}};
  for (const auto &c : cases)
    EXPECT_EQ(GreatestCommonDivisor(c[0], c[1]), c[2]) << c[0] << "," << c[1];
}

TEST(TrochoidCurve, LapsAndStepsPerRun) {
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

TEST(TrochoidCurve, DrawStepCallOrder) {
  penWalker = ColorWalker();
  TrochoidCurve curve;
  RecordingSurface surface;
  curve.DrawStep(surface, 1025, 768, 3);
  const std::vector<std::string> expected = {"SetMapMode(7)",
                                             "SetWindowExtEx(200,200)",
                                             "SetViewportExtEx(512,384)",
                                             "SetViewportOrgEx(512,384)",
                                             "CreatePen(0,0,16777215)",
                                             "SelectObject(100)",
                                             "MoveToEx(185,-2)",
                                             "PolylineTo(3)",
                                             "SelectObject(1)",
                                             "DeleteObject(100)"};
  EXPECT_EQ(surface.calls, expected);
  EXPECT_EQ(penWalker.stepSize, 10); // the pen walks in tens above 42
  EXPECT_EQ(penWalker.lowerBound[2], 43);
}

// Points drawn and result per call for a 629-step curve; a pen every call.
TEST(TrochoidCurve, RunProgressByCount) {
  struct Case {
    int count;
    std::vector<std::pair<std::size_t, bool>> calls;
  };
  const Case cases[] = {{300, {{300, true}, {300, true}, {29, false}, {0, false}}},
                        {629, {{629, true}, {0, false}}},
                        {800, {{629, false}, {0, false}}},
                        {0, {{0, true}, {0, true}}},
                        {-5, {{0, true}}}};
  for (const Case &c : cases) {
    TrochoidCurve curve;
    RecordingSurface surface;
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
      EXPECT_EQ(curve.DrawStep(surface, 100, 100, c.count), c.calls[i].second)
          << c.count << "/" << i;
      EXPECT_EQ(surface.polylines.back().size(), c.calls[i].first) << c.count << "/" << i;
    }
    EXPECT_EQ(surface.penColors.size(), c.calls.size());
    EXPECT_EQ(surface.livePens, 0);
  }
}

TEST(TrochoidCurve, SetterRestartsAtTheStepBeforeZero) {
  TrochoidCurve curve;
  RecordingSurface surface;
  curve.DrawStep(surface, 100, 100, 300);
  curve.SetPenDistance(7);
  curve.DrawStep(surface, 100, 100, 1);
  double x, y;
  curve.PointAt(-0.01, x, y);
  EXPECT_EQ(surface.calls[surface.calls.size() - 4],
            "MoveToEx(" + std::to_string(int(x)) + "," + std::to_string(int(y)) + ")");
}
