// Every user option, its bounds and defaults, and its place in the registry.
#pragma once
#include <cstdint>
#include <string>

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

  SaverSettings();

  void SetRefreshPause(std::uint32_t pause);
  void SetDrawSpeed(std::uint32_t speed);
  void Load();
  bool Save() const; // false when the registry refused a value; every value is tried
};

extern SaverSettings settings;

// Registry access under HKEY_CURRENT_USER. Implemented with the Win32
// registry in the saver and with an in-memory store in the native tests.
bool ReadRegistryDword(std::uint32_t *out, const char *keyPath, const char *valueName,
                       std::uint32_t lower, std::uint32_t upper, std::uint32_t fallback);
bool ReadRegistryString(std::string *out, const char *keyPath, const char *valueName,
                        const char *fallback);
bool WriteRegistryDword(std::uint32_t value, const char *keyPath, const char *valueName);
bool WriteRegistryString(const std::string &text, const char *keyPath, const char *valueName);
bool HelpFileExists(const std::string &path);
// The help file when none is stored: the default place when the file is
// there, else the folder the setup recorded, else beside the program.
std::string FindHelpFile();

constexpr const char *kSettingsKeyPath = "Software\\Quorvel\\GyrelSaver\\";
constexpr const char *kDefaultHelpFile = "C:\\Program Files\\GyrelSaver\\GyrelSaver.chm";
constexpr std::size_t kHelpFileMaxLength = 260;
constexpr const char *kUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\GyrelSaver";
