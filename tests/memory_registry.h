// An in-memory stand-in for the settings' registry values, so the loading
// rules (which bounds and defaults each value gets, in which order) run
// natively. How real registry data of odd types and sizes is read is tested
// against the real registry under Wine.
#pragma once
#include <cstdint>
#include <map>
#include <string>

struct MemoryRegistry {
  std::map<std::string, std::uint32_t> numbers;
  std::map<std::string, std::string> texts;
  int failingWrite = 0; // 1-based number of the one write that fails; 0: none
  int writes = 0;
  std::size_t Size() const { return numbers.size() + texts.size(); }
};
extern MemoryRegistry memoryRegistry;
