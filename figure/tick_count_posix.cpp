#include <chrono>

#include "figure/random.h"

std::uint32_t TickCount() {
  auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
  return static_cast<std::uint32_t>(ms);
}
