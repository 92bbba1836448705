#include "figure/mirror_surface.h"

#include <gtest/gtest.h>

#include "figure/background.h"
#include "figure/color_walker.h"
#include "figure/random.h"
#include "figure/trochoid_curve.h"
#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

// Two monitors side by side (800 x 600 and 400 x 300) in a 1200 x 600 client:
// the engine's calls are kept and replayed per monitor with its mapping and clip.
TEST(MirrorSurface, ReplaysTheKeptCallsPerMonitor) {
  const std::vector<SurfaceRect> monitors = {{0, 0, 800, 600}, {800, 0, 1200, 300}};
  RecordingSurface screen;
  screen.client = {0, 0, 1200, 600};
  MirrorSurface mirror(screen, monitors);
  TrochoidCurve curve;
  penWalker = ColorWalker();
  curve.DrawStep(mirror, 1200, 600, 2);
  EXPECT_EQ(screen.calls, std::vector<std::string>{"GetClientRect()"}) << "nothing drawn yet";
  mirror.Flush();
  EXPECT_EQ(screen.Calls(), // one pen for both monitors
            "GetClientRect() CreatePen(0,0,16777215) "
            "Clip(0,0,800,600) SetMapMode(8) SetWindowExtEx(200,200) SetViewportExtEx(300,300) "
            "SetViewportOrgEx(400,300) SelectObject(100) MoveToEx(185,-2) PolylineTo(2) "
            "Clip(800,0,1200,300) SetMapMode(8) SetWindowExtEx(200,200) SetViewportExtEx(150,150) "
            "SetViewportOrgEx(1000,150) MoveToEx(185,-2) PolylineTo(2) "
            "Clip() SelectObject(1) DeleteObject(100) ");

  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  screen.calls.clear();
  PaintBackground(mirror);
  mirror.Flush();
  EXPECT_EQ(screen.Calls(11), // the second monitor: its own rectangle, the gradient to its centre
            "Clip(800,0,1200,300) SetMapMode(1) SetWindowExtEx(200,200) SetViewportExtEx(200,150) "
            "SetViewportOrgEx(800,0) Rectangle(0,0,400,300) SetMapMode(1) SetWindowExtEx(200,200) "
            "SetViewportExtEx(200,150) SetViewportOrgEx(800,0) GradientFill(9,8) Clip() ");
  EXPECT_EQ(std::to_string(screen.vertices[8].x) + "," + std::to_string(screen.vertices[8].y) +
                " " + std::to_string(screen.vertices[2].x),
            "200,150 400");
}

// The engine runs as it would without the mirror: the same pens in the same
// order and the same points, now on each monitor.
TEST(MirrorSurface, TheEngineDrawsTheSamePicture) {
  const std::vector<SurfaceRect> monitors = {{0, 0, 640, 480}, {640, 0, 1280, 480}};
  RecordingSurface direct, screen;
  screen.client = {0, 0, 1280, 480};
  for (RecordingSurface *target : {&direct, &screen}) {
    TrochoidCurve curve;
    penWalker = ColorWalker();
    SeedRandom(3);
    MirrorSurface mirror(screen, monitors);
    for (int tick = 0; tick < 5; ++tick)
      curve.DrawStep(target == &direct ? static_cast<Surface &>(direct) : mirror, 640, 480, 150);
    mirror.Flush();
  }
  EXPECT_EQ(screen.penColors, direct.penColors);
  ASSERT_EQ(screen.polylines.size(), 2 * direct.polylines.size());
  for (std::size_t i = 0; i < direct.polylines.size(); ++i)
    EXPECT_EQ(screen.polylines[i].back().x, direct.polylines[i].back().x) << i;
}
