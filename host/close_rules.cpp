#include "host/close_rules.h"

namespace {
std::uint32_t Distance(std::int32_t a, std::int32_t b) {
  const std::int64_t d = static_cast<std::int64_t>(a) - b;
  return static_cast<std::uint32_t>(d < 0 ? -d : d);
}

constexpr std::uint64_t kPowerStatusChange = 10;      // PBT_APMPOWERSTATUSCHANGE
constexpr std::uint64_t kPowerSettingChange = 0x8013; // PBT_POWERSETTINGCHANGE
constexpr std::int64_t kResumeFromFailure = 1;        // PBTF_APMRESUMEFROMFAILURE
} // namespace

bool CursorTravelExceeds(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY,
                         std::uint32_t threshold) {
  return Distance(toX, fromX) + Distance(toY, fromY) > threshold;
}

bool PowerBroadcastCloses(std::uint64_t event, std::int64_t flags, std::uint8_t &lastAcLineStatus,
                          std::uint8_t (*readAcLineStatus)()) {
  switch (event) {
  case 6:  // PBT_APMRESUMECRITICAL
  case 7:  // PBT_APMRESUMESUSPEND
  case 8:  // PBT_APMRESUMESTANDBY
  case 18: // PBT_APMRESUMEAUTOMATIC
    return (flags & kResumeFromFailure) == 0;
  case kPowerSettingChange: // a notification the saver asked for itself
    return false;
  case kPowerStatusChange: {
    const std::uint8_t status = readAcLineStatus();
    const bool changed = status != lastAcLineStatus;
    lastAcLineStatus = status;
    return changed;
  }
  default: // queries, suspends, battery low, OEM events and anything unknown
    return true;
  }
}

bool VerificationTooSoon(std::uint32_t now, std::uint32_t lastVerifyTick) {
  return lastVerifyTick != kNoVerificationYet && now - lastVerifyTick < 200u;
}
