// Every setting as " Name=value", for tests that compare what was loaded or stored.
#pragma once
#include <string>

#include "settings/saver_settings.h"

#define GYREL_FIELD(name) " " #name "=" + std::to_string(s.name) +
inline std::string SettingsText(const SaverSettings &s) {
  return GYREL_FIELD(DrawSpeed) GYREL_FIELD(MinGyrels) GYREL_FIELD(MaxGyrels)
             GYREL_FIELD(MaxBrightness) GYREL_FIELD(PointsPerCycle) GYREL_FIELD(Red)
                 GYREL_FIELD(Green) GYREL_FIELD(Blue) GYREL_FIELD(ChangeFrequency)
                     GYREL_FIELD(RefreshPause) GYREL_FIELD(PauseTicks)
                         GYREL_FIELD(UseFixedFrequency) GYREL_FIELD(ChangeBackground)
                             GYREL_FIELD(PictureOnEachMonitor) GYREL_FIELD(FineCurves)
                                 GYREL_FIELD(SmoothCurves) " HelpFile=" +
         s.HelpFile + " ";
}
#undef GYREL_FIELD
