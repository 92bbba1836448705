#include "settings/saver_settings.h"

#include <type_traits>

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

namespace {
// Each stored setting's field, by its id: one list for reading and writing.
template <class Settings, class Visit> void EachField(Settings &s, Visit visit) {
  visit(kDrawSpeed, s.DrawSpeed);
  visit(kPointsPerCycle, s.PointsPerCycle);
  visit(kRefreshPause, s.RefreshPause);
  visit(kMinGyrels, s.MinGyrels);
  visit(kMaxGyrels, s.MaxGyrels);
  visit(kMaxBrightness, s.MaxBrightness);
  visit(kRed, s.Red);
  visit(kGreen, s.Green);
  visit(kBlue, s.Blue);
  visit(kChangeBackground, s.ChangeBackground);
  visit(kUseFixedFrequency, s.UseFixedFrequency);
  visit(kChangeFrequency, s.ChangeFrequency);
  visit(kPictureOnEachMonitor, s.PictureOnEachMonitor);
  visit(kFineCurves, s.FineCurves);
  visit(kSmoothCurves, s.SmoothCurves);
}
} // namespace

std::uint32_t SaverSettings::Value(Setting setting) const {
  std::uint32_t value = 0;
  EachField(*this, [&](Setting id, const auto &field) {
    if (id == setting) value = static_cast<std::uint32_t>(field);
  });
  return value;
}

void SaverSettings::Set(Setting setting, std::uint32_t value) {
  EachField(*this, [&](Setting id, auto &field) { // a flag is set by any value but 0
    if (id == setting) field = static_cast<std::remove_reference_t<decltype(field)>>(value);
  });
}

void SaverSettings::Load() {
  const char *key = kSettingsKeyPath;
  HelpFileStored = ReadRegistryString(&HelpFile, key, "HelpFile", kDefaultHelpFile);
  // A stored path counts only while its file is there: after a move to
  // another install it would open nothing, where the search finds the help.
  if (HelpFileStored && !HelpFileExists(HelpFile)) HelpFileStored = false;
  if (!HelpFileStored) HelpFile = FindHelpFile();
  // Each setting: a mandatory policy's value, else the user's own, else a
  // recommended policy's, else the default; each read within its bounds.
  managed = recommended = 0;
  for (int i = 0; i < kSettingCount; ++i) {
    const auto setting = static_cast<Setting>(i);
    const SettingBounds &b = kSettingBounds[i];
    std::uint32_t value = b.fallback;
    // A stored maximum below the minimum counts as none. 0 curves is a
    // picture of the gradient alone, which the dialog offers.
    const std::uint32_t ownLower = setting == kMaxGyrels ? Value(kMinGyrels) : b.lower;
    if (ReadPolicyDword(&value, false, b.name, b.lower, b.upper))
      managed |= 1u << i;
    else if (!ReadRegistryDword(&value, key, b.name, ownLower, b.upper, b.fallback) &&
             ReadPolicyDword(&value, true, b.name, b.lower, b.upper))
      recommended |= 1u << i, recommendedValue[i] = value;
    Set(setting, value);
  }
  // The range stays in order: the end a policy sets holds, else the
  // minimum, which is what the user chose (the fallback of 5 can land
  // below a stored minimum of 6 or more).
  if (MaxGyrels < MinGyrels) {
    if (Managed(kMaxGyrels) && !Managed(kMinGyrels))
      MinGyrels = MaxGyrels;
    else
      MaxGyrels = MinGyrels;
  }
  SetRefreshPause(RefreshPause);
}

bool SaverSettings::Save() const {
  const char *key = kSettingsKeyPath;
  // A found help file is not stored: where the help is may change with the
  // next install, and a stored path would win over it.
  bool saved = !HelpFileStored || WriteRegistryString(HelpFile, key, "HelpFile");
  // Every value is tried, so one refused value loses only itself. What a
  // policy sets stays the organisation's: the user's own value is kept for
  // when the policy goes, and a recommendation left as it is stays one.
  for (int i = 0; i < kSettingCount; ++i) {
    const auto setting = static_cast<Setting>(i);
    if (Managed(setting)) continue;
    if ((recommended >> i) & 1u && Value(setting) == recommendedValue[i]) continue;
    saved = WriteRegistryDword(Value(setting), key, kSettingBounds[i].name) && saved;
  }
  return saved;
}
