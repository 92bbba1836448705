#include "settings/saver_settings.h"

#include <utility>

SaverSettings::SaverSettings()
    : MinGyrels(3), MaxGyrels(5), MaxBrightness(128), Red(100), Green(100), Blue(100),
      PointsPerCycle(200), ChangeBackground(true), UseFixedFrequency(false), ChangeFrequency(1000),
      HelpFileStored(false), RefreshPause(4), PauseTicks(0), DrawSpeed(1),
      PictureOnEachMonitor(false), FineCurves(false), SmoothCurves(false) {
  SetRefreshPause(4);
}

void SaverSettings::SetRefreshPause(std::uint32_t pause) {
  RefreshPause = pause;
  // DrawSpeed is never 0 through Load or the dialog; guard the public field anyway.
  PauseTicks = DrawSpeed != 0 ? pause * 50u / DrawSpeed : 0;
}

void SaverSettings::SetDrawSpeed(std::uint32_t speed) {
  DrawSpeed = speed;
  SetRefreshPause(RefreshPause);
}

void SaverSettings::Load() {
  const char *key = kSettingsKeyPath;
  HelpFileStored = ReadRegistryString(&HelpFile, key, "HelpFile", kDefaultHelpFile);
  // A stored path counts only while its file is there: after a move to
  // another install it would open nothing, where the search finds the help.
  if (HelpFileStored && !HelpFileExists(HelpFile)) HelpFileStored = false;
  if (!HelpFileStored) HelpFile = FindHelpFile();
  ReadRegistryDword(&DrawSpeed, key, "DrawSpeed", 1, 500, 1);

  std::uint32_t count;
  // 0 curves is a picture of the gradient alone, which the dialog offers.
  ReadRegistryDword(&count, key, "MinGyrels", 0, 20, 3);
  MinGyrels = static_cast<std::int32_t>(count);
  ReadRegistryDword(&count, key, "MaxGyrels", static_cast<std::uint32_t>(MinGyrels), 20, 5);
  MaxGyrels = static_cast<std::int32_t>(count);
  // The fallback of 5 can land below a stored minimum of 6 or more. The
  // minimum is what the user chose, so the range closes upward to it.
  if (MaxGyrels < MinGyrels) MaxGyrels = MinGyrels;

  ReadRegistryDword(&MaxBrightness, key, "MaxBrightness", 0, 255, 128);
  ReadRegistryDword(&PointsPerCycle, key, "PointsPerCycle", 0, 800, 200);
  ReadRegistryDword(&Red, key, "Red", 0, 100, 100);
  ReadRegistryDword(&Green, key, "Green", 0, 100, 100);
  ReadRegistryDword(&Blue, key, "Blue", 0, 100, 100);
  ReadRegistryDword(&ChangeFrequency, key, "ChangeFrequency", 1, 1000, 1000);
  ReadRegistryDword(&RefreshPause, key, "RefreshPause", 0, 10, 4);

  std::uint32_t flag;
  ReadRegistryDword(&flag, key, "UseFixedFrequency", 0, 1, 0);
  UseFixedFrequency = flag != 0;
  ReadRegistryDword(&flag, key, "ChangeBackground", 0, 1, 1);
  ChangeBackground = flag != 0;
  ReadRegistryDword(&flag, key, "PictureOnEachMonitor", 0, 1, 0);
  PictureOnEachMonitor = flag != 0;
  ReadRegistryDword(&flag, key, "FineCurves", 0, 1, 0);
  FineCurves = flag != 0;
  ReadRegistryDword(&flag, key, "SmoothCurves", 0, 1, 0);
  SmoothCurves = flag != 0;

  SetRefreshPause(RefreshPause);
}

bool SaverSettings::Save() const {
  const char *key = kSettingsKeyPath;
  const std::pair<std::uint32_t, const char *> numbers[] = {
      {DrawSpeed, "DrawSpeed"},
      {static_cast<std::uint32_t>(MinGyrels), "MinGyrels"},
      {static_cast<std::uint32_t>(MaxGyrels), "MaxGyrels"},
      {MaxBrightness, "MaxBrightness"},
      {PointsPerCycle, "PointsPerCycle"},
      {Red, "Red"},
      {Green, "Green"},
      {Blue, "Blue"},
      {ChangeFrequency, "ChangeFrequency"},
      {RefreshPause, "RefreshPause"},
      {UseFixedFrequency ? 1u : 0u, "UseFixedFrequency"},
      {ChangeBackground ? 1u : 0u, "ChangeBackground"},
      {PictureOnEachMonitor ? 1u : 0u, "PictureOnEachMonitor"},
      {FineCurves ? 1u : 0u, "FineCurves"},
      {SmoothCurves ? 1u : 0u, "SmoothCurves"}};
  // A found help file is not stored: where the help is may change with the
  // next install, and a stored path would win over it.
  bool saved = !HelpFileStored || WriteRegistryString(HelpFile, key, "HelpFile");
  // Every value is tried, so one refused value loses only itself.
  for (const auto &[value, name] : numbers)
    saved = WriteRegistryDword(value, key, name) && saved;
  return saved;
}
