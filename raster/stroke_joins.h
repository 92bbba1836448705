// The shape of a stroke: bands of half-width r along its segments, flat at
// its two ends, mitred at each inner point while the mitre is at most four
// line widths long and bevelled beyond.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/stroke_coverage.h"

// Where two segments meet.
struct StrokeJoin {
  StrokePoint halving; // normal of the line halving the bend, facing along the stroke
  StrokePoint outward; // unit, halving the outer side's two normals
  double cosHalf = 1;  // of half the bend: 1 straight on, 0 turned right back
  int outer = 1;       // the outer side: +1 where the segments' left normals point
  bool bevelled = false;
};

// A polyline's segments and joins, and how its area is cut into pieces.
// Each segment's piece is its band between the lines halving its joins (cut
// by a bevel's line where there is one): pieces meet exactly on those lines,
// so laid together they make the stroke. Where the stroke turns sharply
// within a short way (a cusp, a loop tighter than the line), a piece's two
// halving lines cross inside its band and the pieces no longer tile the
// shape; the segments there and near them form a knot, measured as the
// union of its bands and joins.
class StrokeShape {
public:
  void Build(const StrokePoint *points, std::size_t count, double r);

  std::size_t Segments() const { return direction.size(); }
  double r = 0; // half the line's width
  // Runs of segments, each either pieces that tile or a knot.
  struct Run {
    std::size_t first, last; // segments
    bool knot;
  };
  std::vector<Run> runs;

  // The outline of segments first..last laid as pieces, clockwise or not;
  // flat, as their bands, at either end where asked.
  void Outline(std::size_t first, std::size_t last, std::vector<StrokePoint> &outline,
               bool flatStart = false, bool flatEnd = false) const;
  // A segment's piece; flat, as its band, at either end where asked.
  ConvexPolygon Piece(std::size_t segment, bool flatStart = false, bool flatEnd = false) const;
  // Whether a knot's segments end flat at a point: at the stroke's ends, and
  // where either segment meeting there does not tile (the join there is then
  // a shape of its own).
  bool FlatAt(std::size_t point) const;
  // A segment's shape in a knot: its piece, flat where FlatAt says.
  ConvexPolygon KnotShape(std::size_t segment) const;
  // The mitre or bevel that fills the outer corner at an inner point; none
  // where the stroke goes straight on.
  bool JoinPiece(std::size_t point, ConvexPolygon &piece) const;
  // Path length from the first point to each point.
  std::vector<double> along;

private:
  void SideCorners(std::size_t point, int side, bool first, bool last,
                   std::vector<StrokePoint> &out) const;
  // Whether a segment's piece is bounded as it should be: its two halving
  // lines do not cross inside its band and neither join turns right back.
  bool Tiles(std::size_t segment) const;

  const StrokePoint *points = nullptr;
  std::vector<StrokePoint> direction; // per segment, unit
  std::vector<StrokeJoin> joins;      // per point; the ends' are unused
  std::vector<std::uint8_t> knotted, tiling;
};
