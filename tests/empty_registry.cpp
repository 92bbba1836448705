// The native tree's registry: always empty, every write refused, so the
// portable core links and loads its defaults. The real one is tested under Wine.
#include "settings/saver_settings.h"

bool ReadRegistryDword(std::uint32_t *out, const char *, const char *, std::uint32_t, std::uint32_t,
                       std::uint32_t fallback) {
  return *out = fallback, false;
}
bool ReadRegistryString(std::string *out, const char *, const char *, const char *fallback) {
  return *out = fallback, false;
}
bool ReadPolicyDword(std::uint32_t *, bool, const char *, std::uint32_t, std::uint32_t) {
  return false;
}
bool WriteRegistryDword(std::uint32_t, const char *, const char *) { return false; }
bool WriteRegistryString(const std::string &, const char *, const char *) { return false; }
std::string FindHelpFile() { return kDefaultHelpFile; }
bool HelpFileExists(const std::string &) { return false; }
