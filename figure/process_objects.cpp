// The process-wide objects, defined in one translation unit so that they are
// built in this order: the settings first, then the background walkers, the
// curve set, and the pen walker last. Each walker seeds the generator from
// the tick count, so the sequence starts from the pen walker's reading.
#include "figure/background.h"
#include "figure/curve_set.h"
#include "settings/saver_settings.h"

SaverSettings settings;
ColorWalker cornerWalker;
ColorWalker edgeWalker;
ColorWalker centerWalker;
CurveSet pictureCurves;
ColorWalker penWalker;
