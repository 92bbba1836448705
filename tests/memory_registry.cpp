#include "tests/memory_registry.h"

#include "settings/saver_settings.h"

MemoryRegistry memoryRegistry;

bool ReadRegistryDword(std::uint32_t *out, const char *, const char *valueName, std::uint32_t lower,
                       std::uint32_t upper, std::uint32_t fallback) {
  const auto found = memoryRegistry.numbers.find(valueName);
  if (found != memoryRegistry.numbers.end() && lower <= found->second && found->second <= upper) {
    *out = found->second;
    return true;
  }
  *out = fallback;
  return false;
}

bool ReadRegistryString(std::string *out, const char *, const char *valueName,
                        const char *fallback) {
  const auto found = memoryRegistry.texts.find(valueName);
  *out = found != memoryRegistry.texts.end() ? found->second : fallback;
  return found != memoryRegistry.texts.end();
}

bool WriteRegistryDword(std::uint32_t value, const char *, const char *valueName) {
  if (++memoryRegistry.writes == memoryRegistry.failingWrite) return false;
  memoryRegistry.numbers[valueName] = value;
  return true;
}

bool WriteRegistryString(const std::string &text, const char *, const char *valueName) {
  if (++memoryRegistry.writes == memoryRegistry.failingWrite) return false;
  memoryRegistry.texts[valueName] = text;
  return true;
}
