#include "figure/trochoid_curve.h"

#include <gtest/gtest.h>

#include <cmath>

#include "figure/color_walker.h"
#include "tests/recording_surface.h"

namespace {
TrochoidCurve MakeCurve(int fixedRadius, int rollingRadius, int penDistance, double step) {
  TrochoidCurve curve;
  curve.SetFixedRadius(fixedRadius);
  curve.SetRollingRadius(rollingRadius);
  curve.SetPenDistance(penDistance);
  curve.SetAngleStep(step);
  return curve;
}

void ResetPenWalker() { penWalker = ColorWalker(); }
} // namespace

TEST(GreatestCommonDivisor, Table) {
  struct Case {
    int a, b, expected;
  };
  const Case cases[] = {{0, 7, -1},
                        {7, 0, -1},
                        {-12, 18, 6},
                        {7, 7, 7},
                        {1, 150, 1},
                        {150, 1, 1},
                        {-90, 150, 30},
                        {-2147483647 - 1, 2, 2},
                        {-2147483647 - 1, -2147483647 - 1, 2147483647}};
  for (const Case &c : cases)
    EXPECT_EQ(GreatestCommonDivisor(c.a, c.b), c.expected) << c.a << "," << c.b;
}

TEST(TrochoidCurve, Defaults) {
  TrochoidCurve curve;
  EXPECT_EQ(curve.fixedRadius, 200);
  EXPECT_EQ(curve.rollingRadius, -10);
  EXPECT_EQ(curve.penDistance, 5);
  EXPECT_EQ(curve.angleStep, 0.01);
  EXPECT_EQ(curve.ClosingLaps(), 1);
  EXPECT_EQ(curve.stepsPerRun, 629);
  EXPECT_EQ(curve.rotationCos, 1.0);
}

TEST(TrochoidCurve, LapsAndStepsPerRun) {
  struct Case {
    int fixedRadius, rollingRadius;
    double step;
    int laps, steps;
  };
  const Case cases[] = {
      {200, -10, 0.01, 1, 629},  {150, 40, 0.01, 4, 2514},  {199, -99, 0.01, 99, 62204},
      {150, -90, 0.01, 3, 1885}, {0, 5, 0.01, 5, 3142},     {200, 0, 0.01, 0, 1},
      {1, 1, -0.01, 1, 629},     {150, 40, -0.01, 4, 2514},
  };
  for (const Case &c : cases) {
    const TrochoidCurve curve = MakeCurve(c.fixedRadius, c.rollingRadius, 0, c.step);
    EXPECT_EQ(curve.ClosingLaps(), c.laps) << c.fixedRadius << "," << c.rollingRadius;
    EXPECT_EQ(curve.stepsPerRun, c.steps) << c.fixedRadius << "," << c.rollingRadius;
  }
}

TEST(TrochoidCurve, DegenerateStepsStayDefined) {
  TrochoidCurve curve;
  curve.SetAngleStep(0); // would be an infinite run
  EXPECT_GT(curve.stepsPerRun, 0);
  curve.SetRollingRadius(0);
  EXPECT_EQ(curve.stepsPerRun, 1); // zero laps whatever the step
}

TEST(TrochoidCurve, PointAtFollowsTheFormula) {
  TrochoidCurve curve = MakeCurve(150, -90, 33, 0.01);
  for (double theta : {0.0, 0.5, -1.25, 7.0}) {
    double x, y;
    curve.PointAt(theta, x, y);
    EXPECT_DOUBLE_EQ(x, 60 * std::cos(theta) - 33 * std::cos(60 * theta / -90));
    EXPECT_DOUBLE_EQ(y, 60 * std::sin(theta) - 33 * std::sin(60 * theta / -90));
  }
  curve.SetRotation(M_PI / 2); // a quarter turn maps (x, y) to (-y, x)
  double x, y;
  curve.PointAt(0, x, y);
  EXPECT_NEAR(x, 0, 1e-9);
  EXPECT_NEAR(y, 27, 1e-9);
}

// One call of DrawStep, in the order the drawing seam must see it.
TEST(TrochoidCurve, DrawStepCallOrder) {
  ResetPenWalker();
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
  EXPECT_EQ(surface.livePens, 0);
}

TEST(TrochoidCurve, PointsAreTruncatedTowardZeroAndJoinUp) {
  ResetPenWalker();
  TrochoidCurve curve = MakeCurve(150, -90, 33, 0.01);
  RecordingSurface surface;
  curve.DrawStep(surface, 400, 400, 5);
  curve.DrawStep(surface, 400, 400, 5);
  ASSERT_EQ(surface.polylines.size(), 2u);
  for (int i = 0; i < 5; ++i) {
    double x, y;
    curve.PointAt(i * 0.01, x, y);
    EXPECT_EQ(surface.polylines[0][i].x, static_cast<int>(std::trunc(x)));
    EXPECT_EQ(surface.polylines[0][i].y, static_cast<int>(std::trunc(y)));
  }
  // The second call starts from the last point of the first.
  EXPECT_EQ(surface.moves[1].x, surface.polylines[0][4].x);
  EXPECT_EQ(surface.moves[1].y, surface.polylines[0][4].y);
  // The first move is to the point one step before zero.
  double x, y;
  curve.PointAt(-0.01, x, y);
  EXPECT_EQ(surface.moves[0].x, static_cast<int>(x));
}

TEST(TrochoidCurve, RunProgressByCount) {
  struct Case {
    int count;
    std::vector<std::pair<std::size_t, bool>> calls; // points drawn, result
  };
  const Case cases[] = {
      {100,
       {{100, true},
        {100, true},
        {100, true},
        {100, true},
        {100, true},
        {100, true},
        {29, false},
        {0, false},
        {0, false}}},
      {629, {{629, true}, {0, false}}},
      {800, {{629, false}, {0, false}}},
      {0, {{0, true}, {0, true}}},
      {-5, {{0, true}}},
  };
  for (const Case &c : cases) {
    ResetPenWalker();
    TrochoidCurve curve;
    RecordingSurface surface;
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
      EXPECT_EQ(curve.DrawStep(surface, 100, 100, c.count), c.calls[i].second)
          << "count " << c.count << " call " << i;
      EXPECT_EQ(surface.polylines.back().size(), c.calls[i].first)
          << "count " << c.count << " call " << i;
    }
    // Every call makes and deletes exactly one pen.
    EXPECT_EQ(surface.penColors.size(), c.calls.size());
    EXPECT_EQ(surface.livePens, 0);
    EXPECT_GE(curve.stepsDone, 0);
    EXPECT_LE(curve.stepsDone, curve.stepsPerRun);
  }
}

TEST(TrochoidCurve, SetterRestartsTheRun) {
  ResetPenWalker();
  TrochoidCurve curve;
  RecordingSurface surface;
  curve.DrawStep(surface, 100, 100, 300);
  curve.SetPenDistance(7);
  EXPECT_EQ(curve.angle, 0);
  EXPECT_EQ(curve.stepsDone, 0);
  curve.DrawStep(surface, 100, 100, 1);
  double x, y;
  curve.PointAt(-0.01, x, y);
  EXPECT_EQ(surface.moves.back().x, static_cast<int>(x));
  EXPECT_EQ(surface.moves.back().y, static_cast<int>(y));
}

TEST(TrochoidCurve, PenColoursWalkFromWhiteInStepsOfTen) {
  ResetPenWalker();
  TrochoidCurve curve;
  RecordingSurface surface;
  for (int i = 0; i < 2000; ++i)
    curve.DrawStep(surface, 100, 100, 1);
  EXPECT_EQ(surface.penColors.front(), 0x00FFFFFFu);
  for (ColorRef color : surface.penColors) {
    for (int shift : {0, 8, 16}) {
      const int value = static_cast<int>((color >> shift) & 0xFF);
      EXPECT_GE(value, 45);
      EXPECT_EQ((255 - value) % 10, 0) << value;
    }
  }
}

TEST(TrochoidCurve, NegativeStepTracesTheOtherWay) {
  ResetPenWalker();
  TrochoidCurve forward = MakeCurve(150, 40, 10, 0.01);
  TrochoidCurve backward = MakeCurve(150, 40, 10, -0.01);
  EXPECT_EQ(forward.stepsPerRun, backward.stepsPerRun);
  RecordingSurface a, b;
  forward.DrawStep(a, 400, 400, 2);
  backward.DrawStep(b, 400, 400, 2);
  EXPECT_EQ(a.polylines[0][0].x, b.polylines[0][0].x);  // both start at theta 0
  EXPECT_EQ(a.polylines[0][1].y, -b.polylines[0][1].y); // mirrored about the x axis
}
