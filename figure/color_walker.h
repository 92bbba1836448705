// A colour that drifts: each step moves one random channel by stepSize in
// the common direction, within per-channel bounds; the direction turns when
// no channel can take another whole step.
#pragma once
#include "drawing/surface.h"

class ColorWalker {
public:
  int channel[3];      // red, green, blue
  int changeChance[3]; // per mille
  int lowerBound[3];
  int upperBound[3];
  int stepSize;
  int direction; // +1 or -1

  ColorWalker();

  void SetChangeChances(int red, int green, int blue);
  void SetLowerBounds(int red, int green, int blue);
  void SetUpperBounds(int red, int green, int blue);
  void SetStepSize(int size);
  // Takes each channel only where it lies within that channel's bounds.
  void SetColor(int red, int green, int blue);
  ColorRef GetColor() const;
  bool ChannelChanges(int index);
  void Step();
};

// The pen colour of every curve, shared by all curves of all pictures.
extern ColorWalker penWalker;
