// An in-memory stand-in for HKEY_CURRENT_USER with the Win32 store's rules,
// so the settings logic runs natively. Values keep raw bytes, as the
// registry does, so data of any type and size can be stored.
#pragma once
#include <map>
#include <string>
#include <vector>

struct MemoryRegistry {
  std::map<std::string, std::map<std::string, std::vector<unsigned char>>> keys;
  int failingWrite = 0; // 1-based number of the one write that fails; 0: none
  int writes = 0;
};
extern MemoryRegistry memoryRegistry;

void StoreDword(const char* name, unsigned value);
void StoreBytes(const char* name, const std::vector<unsigned char>& bytes);
void StoreText(const char* name, const std::string& text); // with its NUL
