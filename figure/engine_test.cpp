#include "figure/curve_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>

#include "drawing/mirror_surface.h"
#include "figure/background.h"
#include "figure/color_walker.h"
#include "figure/random.h"
#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

// "brightness red green blue change fixed" (frequency 7): the corner's upper bound, the
// centre's colour, the edge's and corner's chances (the corners' green and blue crossed).
TEST(Background, RangesFromTheSettings) {
  const std::pair<const char *, const char *> cases[] = {
      {"128 100 100 100 1 0", "64,64,64 128,128,128 1000,1000,1000 1000,1000,1000"},
      {"200 100 50 0 1 0", "100,50,0 200,100,0 1000,500,0 1000,0,500"},
      {"255 33 100 1 1 0", "42,127,1 84,255,2 330,1000,10 330,10,1000"},
      {"128 100 100 100 0 1", "64,64,64 128,128,128 0,0,0 0,0,0"},
      {"128 100 100 100 1 1", "64,64,64 128,128,128 7,7,7 7,7,7"},
      {"128 0 0 0 1 0", "0,0,0 0,0,0 0,0,0 0,0,0"}};
  for (const auto &[given, expected] : cases) {
    settings.ChangeFrequency = 7; // the fields below are all the ranges read
    std::istringstream(given) >> settings.MaxBrightness >> settings.Red >> settings.Green >>
        settings.Blue >> settings.ChangeBackground >> settings.UseFixedFrequency;
    ColorWalker corner, edge, center;
    SetBackgroundRanges(corner, edge, center);
    std::ostringstream got;
    for (const int *v : {corner.upperBound, center.channel, edge.changeChance, corner.changeChance})
      got << v[0] << ',' << v[1] << ',' << v[2] << ' ';
    EXPECT_EQ(got.str(), std::string(expected) + " ") << given;
  }
}

// Points drawn and result per call for a 629-step curve.
TEST(TrochoidCurve, RunProgressByCount) {
  const std::pair<int, const char *> cases[] = {
      {300, "300+ 300+ 29- 0-"}, {629, "629+ 0-"}, {800, "629- 0-"}, {0, "0+ 0+"}, {-5, "0+"}};
  for (const auto &[count, expected] : cases) {
    TrochoidCurve curve;
    RecordingSurface surface;
    std::string got;
    while (got.size() < std::string_view(expected).size()) {
      const bool still = curve.DrawStep(surface, 100, 100, count);
      got += (got.empty() ? "" : " ") + std::to_string(surface.polylines.back().size()) +
             (still ? "+" : "-");
    }
    EXPECT_EQ(got, expected) << count;
  }
}

// The engine as the saver runs it, from one seed: sixty pictures, each a background
// and its curves tick by tick until all have closed, straight and mirrored on two
// monitors. Any change in what is drawn, or in what order, changes the fingerprint.
TEST(CurveSet, SixtyPicturesFromOneSeed) {
  const std::vector<SurfaceRect> monitors = {{0, 0, 800, 600}, {800, 0, 1200, 300}};
  const std::pair<bool, std::uint64_t> runs[] = {{false, 16163794824147390902u},
                                                 {true, 6441889762757438228u}};
  for (const auto &[mirrored, fingerprint] : runs) {
    settings = SaverSettings();
    cornerWalker = edgeWalker = centerWalker = penWalker = ColorWalker(); // seeds from the clock
    SeedRandom(2024);
    SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
    RecordingSurface screen;
    screen.client = {0, 0, 1200, 600};
    std::optional<MirrorSurface> mirror;
    if (mirrored) mirror.emplace(screen, monitors);
    Surface &target = mirror ? static_cast<Surface &>(*mirror) : screen;
    CurveSet set;
    int pens = 0;
    for (int picture = 0; picture < 60; ++picture) { // then 57 of the gradient alone
      const int curves = picture < 3 ? 2 + picture * 3 % 5 : 0;
      PaintBackground(target);
      if (mirror) mirror->Flush();
      SpawnCurves(set, curves);
      EXPECT_EQ(int(set.curves.size()), curves) << "the set is replaced";
      for (int tick = 0; tick == 0 || (!set.AllFinished() && tick < 1000); ++tick) {
        set.DrawAll(target, 1200, 600, 150);
        if (mirror) mirror->Flush();
        pens += curves; // finished curves too take a pen step every tick
      }
    }
    EXPECT_EQ(std::pair(screen.pensMade, screen.livePens), std::pair(pens, 0)) << "made, left";
    EXPECT_EQ(screen.fingerprint, fingerprint)
        << "mirrored " << mirrored << ", calls begin: " << screen.calls.substr(0, 400);
  }
}

// The largest distance in device pixels, in either axis, of a whole run's vertices from
// the exact curve under the line's mapping (GDI's isotropic one takes the smaller scale);
// `rounded`: as GDI lights them, else where smooth curves place them.
double WorstDeviation(const TrochoidCurve &curve, const std::vector<SurfacePoint> &line,
                      std::pair<SurfacePoint, SurfaceMapping> start, bool rounded) {
  const SurfaceMapping &map = start.second;
  double sx = double(map.viewportExtent.x) / map.windowExtent.x;
  double sy = double(map.viewportExtent.y) / map.windowExtent.y;
  if (map.mode == kMapModeIsotropic) sx = sy = std::min(sx, sy);
  const double units = map.windowExtent.x / 200.0; // window units per classic unit
  const auto place = [rounded](double v) { return rounded ? std::round(v) : v; };
  double worst = 0, x, y;
  for (std::size_t i = 0; i <= line.size(); ++i) { // the start first, at -step
    const SurfacePoint p = i ? line[i - 1] : start.first;
    curve.PointAt((double(i) - 1) * curve.angleStep, x, y);
    worst = std::max({worst, std::fabs(place(p.x * sx) - x * units * sx),
                      std::fabs(place(p.y * sy) - y * units * sy)});
  }
  return worst;
}

// Vertices, classic, fine and smooth, full screen at 4K and 8K, on each of two monitors
// of different sizes, in the Display settings' preview and in the dialog's.
TEST(TrochoidCurve, FineVerticesWithinOneAndAHalfPixelsSmoothWithinAQuarter) {
  const std::tuple<const char *, SurfaceRect, std::vector<SurfaceRect>, double> places[] = {
      {"3840 x 2160", {0, 0, 3840, 2160}, {}, 5.0},
      {"7680 x 4320", {0, 0, 7680, 4320}, {}, 10.0},
      {"4K beside 1080p", {0, 0, 5760, 2160}, {{0, 0, 3840, 2160}, {3840, 0, 5760, 1080}}, 5.0},
      {"settings preview", {0, 0, 152, 112}, {}, 0.5},
      {"dialog preview", {0, 0, 288, 216}, {}, 0.5}};
  for (const auto &[name, client, monitors, classicAtLeast] : places) {
    double worst[3] = {0, 0, 0}; // classic, fine, smooth
    for (int kind : {0, 1, 2}) {
      RecordingSurface device;
      device.client = client;
      std::optional<MirrorSurface> mirror;
      if (!monitors.empty()) mirror.emplace(device, monitors);
      CurveSet set;
      SeedRandom(77);
      SpawnCurves(set, 12);
      const int scale = kind == 0   ? 1
                        : kind == 1 ? FineCurveScale(client.right, client.bottom)
                                    : SmoothCurveScale(client.right, client.bottom);
      for (TrochoidCurve &curve : set.curves) {
        curve.DrawStep(mirror ? static_cast<Surface &>(*mirror) : device, client.right,
                       client.bottom, curve.stepsPerRun, scale);
        if (mirror) mirror->Flush();
        for (std::size_t i = 0; i < device.polylines.size(); ++i)
          worst[kind] = std::max(worst[kind], WorstDeviation(curve, device.polylines[i],
                                                             device.lineStarts[i], kind < 2));
        device.polylines.clear(), device.lineStarts.clear();
      }
    }
    EXPECT_GE(worst[0], classicAtLeast) << name;
    EXPECT_LE(worst[1], 1.5) << name << " (classic " << worst[0] << ")";
    EXPECT_LE(worst[2], 0.25) << name << " smooth";
  }
}

// Smooth curves place a logical point where GDI's mapping would, unrounded, at the
// centre of the pixel GDI would light (half a pixel on).
