// The gradient behind every picture: corners, edge midpoints and centre
// each take the colour of their own walker.
#pragma once
#include "figure/color_walker.h"

extern ColorWalker cornerWalker;
extern ColorWalker edgeWalker;
extern ColorWalker centerWalker;

// Derives each walker's bounds, step, change chances and start colour from
// the brightness and colour-mix settings.
void SetBackgroundRanges(ColorWalker &corner, ColorWalker &edge, ColorWalker &center);

// Steps the three walkers once and fills the client area with the gradient;
// with `step` false, fills it again in the colours it has.
void PaintBackground(Surface &surface, bool step = true);
