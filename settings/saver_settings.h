// Every user option, its bounds and defaults, and its place in the registry.
#pragma once
#include <cstdint>
#include <string>

// The stored options, as the registry, the policies and the administrative
// template name them, with the bounds a stored value is read within and
// the value when none is. Flags are 0 or 1.
enum Setting : int {
  kDrawSpeed,
  kPointsPerCycle,
  kRefreshPause,
  kMinGyrels,
  kMaxGyrels,
  kMaxBrightness,
  kRed,
  kGreen,
  kBlue,
  kChangeBackground,
  kUseFixedFrequency,
  kChangeFrequency,
  kPictureOnEachMonitor,
  kFineCurves,
  kSmoothCurves,
  kSettingCount
};
struct SettingBounds {
  const char *name;
  std::uint32_t lower, upper, fallback;
};
constexpr SettingBounds kSettingBounds[kSettingCount] = {{"DrawSpeed", 1, 500, 1},
                                                         {"PointsPerCycle", 0, 800, 200},
                                                         {"RefreshPause", 0, 10, 4},
                                                         {"MinGyrels", 0, 20, 3},
                                                         {"MaxGyrels", 0, 20, 5},
                                                         {"MaxBrightness", 0, 255, 128},
                                                         {"Red", 0, 100, 100},
                                                         {"Green", 0, 100, 100},
                                                         {"Blue", 0, 100, 100},
                                                         {"ChangeBackground", 0, 1, 1},
                                                         {"UseFixedFrequency", 0, 1, 0},
                                                         {"ChangeFrequency", 1, 1000, 1000},
                                                         {"PictureOnEachMonitor", 0, 1, 0},
                                                         {"FineCurves", 0, 1, 0},
                                                         {"SmoothCurves", 0, 1, 0}};

class SaverSettings {
public:
  std::int32_t MinGyrels;
  std::int32_t MaxGyrels;
  std::uint32_t MaxBrightness;
  std::uint32_t Red;
  std::uint32_t Green;
  std::uint32_t Blue;
  std::uint32_t PointsPerCycle;
  bool ChangeBackground;
  bool UseFixedFrequency;
  std::uint32_t ChangeFrequency;
  std::string HelpFile;
  bool HelpFileStored;        // HelpFile came from the registry, not from where the help was found
  std::uint32_t RefreshPause; // units of 50 ms of nominal timer time
  std::uint32_t PauseTicks;   // derived: RefreshPause * 50 / DrawSpeed
  std::uint32_t DrawSpeed;    // timer period in ms, never 0
  bool PictureOnEachMonitor;  // full screen: one picture per monitor instead of one over all
  bool FineCurves;            // curves at the screen's own resolution, not in whole logical units
  bool SmoothCurves;          // curves anti-aliased into a pixel buffer, placed finer still

  // Settings an organisation's policy sets (bit 1 << Setting): in force
  // over the user's own, which Save leaves as they are.
  std::uint32_t managed = 0;
  // Settings that took a recommended policy's value, the user having none;
  // Save stores them only once they differ from it.
  std::uint32_t recommended = 0;
  std::uint32_t recommendedValue[kSettingCount] = {};

  SaverSettings();

  void SetRefreshPause(std::uint32_t pause);
  void SetDrawSpeed(std::uint32_t speed);
  bool Managed(Setting setting) const { return (managed >> setting) & 1u; }
  std::uint32_t Value(Setting setting) const;
  void Load();
  bool Save() const; // false when the registry refused a value; every value is tried

private:
  void Set(Setting setting, std::uint32_t value);
};

extern SaverSettings settings;

// Registry access under HKEY_CURRENT_USER. Implemented with the Win32
// registry in the saver and with an in-memory store in the native tests.
bool ReadRegistryDword(std::uint32_t *out, const char *keyPath, const char *valueName,
                       std::uint32_t lower, std::uint32_t upper, std::uint32_t fallback);
bool ReadRegistryString(std::string *out, const char *keyPath, const char *valueName,
                        const char *fallback);
// A policy's number within the bounds, from the machine's policies and
// then the user's: the mandatory ones, or the recommended ones. Only a
// REG_DWORD counts.
bool ReadPolicyDword(std::uint32_t *out, bool recommended, const char *valueName,
                     std::uint32_t lower, std::uint32_t upper);
bool WriteRegistryDword(std::uint32_t value, const char *keyPath, const char *valueName);
bool WriteRegistryString(const std::string &text, const char *keyPath, const char *valueName);
bool HelpFileExists(const std::string &path);
// The help file when none is stored: the default place (the machine's
// 64-bit Program Files) when the file is there, else the folder the setup
// recorded, else the one the fleet package recorded, else beside the program.
std::string FindHelpFile();

constexpr const char *kSettingsKeyPath = "Software\\Quorvel\\GyrelSaver\\";
constexpr const char *kPolicyKeyPath = "Software\\Policies\\Quorvel\\GyrelSaver";
constexpr const char *kRecommendedKeyPath = "Software\\Policies\\Quorvel\\GyrelSaver\\Recommended";
constexpr const char *kDefaultHelpFile = "C:\\Program Files\\GyrelSaver\\GyrelSaver.chm";
constexpr std::size_t kHelpFileMaxLength = 260;
constexpr const char *kUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GyrelSaver";
