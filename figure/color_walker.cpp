#include "figure/color_walker.h"

#include "figure/random.h"

ColorWalker::ColorWalker() {
  SetLowerBounds(0, 0, 0);
  SetUpperBounds(255, 255, 255);
  SetColor(255, 255, 255);
  stepSize = 1;
  SeedRandom(TickCount());
  direction = +1;
  SetChangeChances(1000, 1000, 1000);
}

void ColorWalker::SetChangeChances(int red, int green, int blue) {
  changeChance[0] = red;
  changeChance[1] = green;
  changeChance[2] = blue;
}

void ColorWalker::SetLowerBounds(int red, int green, int blue) {
  lowerBound[0] = red;
  lowerBound[1] = green;
  lowerBound[2] = blue;
}

void ColorWalker::SetUpperBounds(int red, int green, int blue) {
  upperBound[0] = red;
  upperBound[1] = green;
  upperBound[2] = blue;
}

void ColorWalker::SetStepSize(int size) { stepSize = size; }

void ColorWalker::SetColor(int red, int green, int blue) {
  const int wanted[3] = {red, green, blue};
  for (int i = 0; i < 3; ++i) {
    if (lowerBound[i] <= wanted[i] && wanted[i] <= upperBound[i]) channel[i] = wanted[i];
  }
}

ColorRef ColorWalker::GetColor() const {
  return (static_cast<ColorRef>(channel[0]) & 0xFFu) |
         ((static_cast<ColorRef>(channel[1]) & 0xFFu) << 8) |
         ((static_cast<ColorRef>(channel[2]) & 0xFFu) << 16);
}

bool ColorWalker::ChannelChanges(int index) { return NextRandom() % 1000 < changeChance[index]; }

void ColorWalker::Step() {
  // 64-bit arithmetic: the fields are public and may hold anything.
  const long long step = stepSize;
  bool noneCanFall = true;
  bool noneCanRise = true;
  for (int i = 0; i < 3; ++i) {
    if (!(channel[i] - step < lowerBound[i])) noneCanFall = false;
    if (!(channel[i] + step > upperBound[i])) noneCanRise = false;
  }
  if (direction == -1 && noneCanFall) {
    direction = +1;
  } else if (direction == +1 && noneCanRise) {
    direction = -1;
  }

  NextRandom(); // drawn and discarded: keeps the sequence of the original walk
  const int index = NextRandom() % 3;
  if (!ChannelChanges(index)) return;

  const long long candidate = channel[index] + step * direction;
  if (lowerBound[index] <= candidate && candidate <= upperBound[index]) {
    channel[index] = static_cast<int>(candidate);
  }
}
