#include "figure/mirror_surface.h"

#include <gtest/gtest.h>

#include "figure/background.h"
#include "figure/color_walker.h"
#include "figure/trochoid_curve.h"
#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

// Two monitors side by side (800 x 600 and 400 x 300) in a 1200 x 600 client:
// the engine's calls arrive once, each monitor gets its own mapping and clip.
TEST(MirrorSurface, ReplaysEachDrawingCallPerMonitor) {
  const std::vector<SurfaceRect> monitors = {{0, 0, 800, 600}, {800, 0, 1200, 300}};
  RecordingSurface screen;
  screen.client = {0, 0, 1200, 600};
  MirrorSurface mirror(screen, monitors);
  screen.calls.clear();
  TrochoidCurve curve;
  penWalker = ColorWalker();
  curve.DrawStep(mirror, 1200, 600, 2);
  const std::vector<std::string> expected = {"CreatePen(0,0,16777215)",
                                             "SelectObject(100)", // one pen for both
                                             "SetMapMode(7)",
                                             "SetWindowExtEx(200,200)",
                                             "SetViewportExtEx(400,300)",
                                             "SetViewportOrgEx(400,300)",
                                             "Clip(0,0,800,600)",
                                             "MoveToEx(185,-2)",
                                             "PolylineTo(2)",
                                             "SetMapMode(7)",
                                             "SetWindowExtEx(200,200)",
                                             "SetViewportExtEx(200,150)",
                                             "SetViewportOrgEx(1000,150)",
                                             "Clip(800,0,1200,300)",
                                             "MoveToEx(185,-2)",
                                             "PolylineTo(2)",
                                             "Clip()",
                                             "SelectObject(1)",
                                             "DeleteObject(100)"};
  EXPECT_EQ(screen.calls, expected);

  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  screen.calls.clear();
  PaintBackground(mirror);
  ASSERT_EQ(screen.calls.size(), 26u); // per monitor: mapping, clip, call; then the clip lifted
  EXPECT_EQ(screen.calls[9], "SetViewportOrgEx(800,0)");
  EXPECT_EQ(screen.calls[11], "Rectangle(0,0,400,300)");
  EXPECT_EQ(screen.calls[24], "GradientFill(9,8)");
  EXPECT_EQ(screen.vertices[8].x, 200); // the centre of the smaller monitor
  EXPECT_EQ(screen.vertices[8].y, 150);
  EXPECT_EQ(screen.vertices[2].x, 400);
}
