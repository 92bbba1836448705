// The close policy's decisions that need no system: cursor travel, power
// events, and the pause between two password prompts.
#pragma once
#include <cstdint>

// Horizontal plus vertical distance, as an unsigned 32-bit sum, above the threshold.
bool CursorTravelExceeds(std::int32_t fromX, std::int32_t fromY, std::int32_t toX, std::int32_t toY,
                         std::uint32_t threshold);

// WM_POWERBROADCAST: whether the event closes the saver. A power-status change
// reads the AC line status through `readAcLineStatus` (255 when unknown),
// compares it with `lastAcLineStatus` and stores it there.
bool PowerBroadcastCloses(std::uint64_t event, std::int64_t flags, std::uint8_t &lastAcLineStatus,
                          std::uint8_t (*readAcLineStatus)());

// Whether a prompt must wait: less than 200 ms since the end of the last one.
constexpr std::uint32_t kNoVerificationYet = 0xFFFFFFFFu;
bool VerificationTooSoon(std::uint32_t now, std::uint32_t lastVerifyTick);
