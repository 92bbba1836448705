#include "tests/memory_registry.h"

#include <algorithm>
#include <cstring>

#include "settings/saver_settings.h"

MemoryRegistry memoryRegistry;

namespace {
const std::vector<unsigned char>* Find(const char* keyPath, const char* valueName) {
  auto key = memoryRegistry.keys.find(keyPath);
  if (key == memoryRegistry.keys.end()) return nullptr;
  auto value = key->second.find(valueName);
  return value == key->second.end() ? nullptr : &value->second;
}

bool Write(const char* keyPath, const char* valueName, const void* data, std::size_t size) {
  ++memoryRegistry.writes;
  if (memoryRegistry.writes == memoryRegistry.failingWrite) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  memoryRegistry.keys[keyPath][valueName].assign(bytes, bytes + size);
  return true;
}
} // namespace

void StoreDword(const char* name, unsigned value) {
  StoreBytes(name, {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)});
}
void StoreBytes(const char* name, const std::vector<unsigned char>& bytes) {
  memoryRegistry.keys[kSettingsKeyPath][name] = bytes;
}
void StoreText(const char* name, const std::string& text) {
  std::vector<unsigned char> bytes(text.begin(), text.end());
  bytes.push_back(0);
  StoreBytes(name, bytes);
}

// The same rules as the Win32 implementation: exactly four bytes in range.
bool ReadRegistryDword(std::uint32_t* out, const char* keyPath, const char* valueName,
                       std::uint32_t lower, std::uint32_t upper, std::uint32_t fallback) {
  const auto* data = Find(keyPath, valueName);
  if (data && data->size() == 4) {
    std::uint32_t value;
    std::memcpy(&value, data->data(), 4);
    if (lower <= value && value <= upper) {
      *out = value;
      return true;
    }
  }
  *out = fallback;
  return false;
}

bool ReadRegistryString(std::string* out, const char* keyPath, const char* valueName,
                        const char* fallback) {
  const auto* data = Find(keyPath, valueName);
  if (data && data->size() <= kHelpFileMaxLength + 1) {
    const auto nul = std::find(data->begin(), data->end(), 0);
    if (static_cast<std::size_t>(nul - data->begin()) <= kHelpFileMaxLength) {
      out->assign(data->begin(), nul);
      return true;
    }
  }
  *out = fallback;
  return false;
}

bool WriteRegistryDword(std::uint32_t value, const char* keyPath, const char* valueName) {
  return Write(keyPath, valueName, &value, 4);
}

bool WriteRegistryString(const std::string& text, const char* keyPath, const char* valueName) {
  return Write(keyPath, valueName, text.c_str(), text.size() + 1);
}
