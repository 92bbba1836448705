#include "host/close_rules.h"

#include <gtest/gtest.h>

TEST(CloseRules, CursorTravel) {
  struct Case {
    int fromX, fromY, toX, toY;
    bool closes;
  };
  const Case cases[] = {
      {100, 100, 102, 102, false},
      {100, 100, 104, 100, false},
      {100, 100, 105, 100, true},
      {100, 100, 97, 98, true},
      {0, 0, -2, -2, false},
      {0, 0, -3, -2, true},
      {-2147483647 - 1, 0, 2147483647, 0, true}, // travel wraps to 2^32 - 1: still above 4
  };
  for (const Case &c : cases)
    EXPECT_EQ(CursorTravelExceeds(c.fromX, c.fromY, c.toX, c.toY, 4), c.closes)
        << c.fromX << "," << c.fromY << " -> " << c.toX << "," << c.toY;
}

namespace {
std::uint8_t statusNow = 1;
int statusReads = 0;
std::uint8_t ReadStatus() {
  ++statusReads;
  return statusNow;
}
} // namespace

TEST(CloseRules, PowerBroadcastTable) {
  struct Case {
    std::uint64_t event;
    std::int64_t flags;
    bool closes;
  };
  const Case cases[] = {
      {0, 0, true},  {1, 0, true},   {2, 0, true}, {3, 0, true},  {4, 0, true},  {5, 0, true},
      {6, 0, true},  {6, 1, false},  {7, 0, true}, {7, 1, false}, {8, 0, true},  {8, 3, false},
      {18, 0, true}, {18, 1, false}, {9, 0, true}, {11, 0, true}, {12, 1, true}, {0x8013, 0, true},
  };
  for (const Case &c : cases) {
    std::uint8_t last = 1;
    statusReads = 0;
    EXPECT_EQ(PowerBroadcastCloses(c.event, c.flags, last, ReadStatus), c.closes) << c.event;
    EXPECT_EQ(statusReads, 0) << c.event;
  }
}

TEST(CloseRules, PowerStatusChangeComparesTheAcLine) {
  std::uint8_t last = 255; // unknown at start
  statusNow = 1;
  EXPECT_TRUE(PowerBroadcastCloses(10, 0, last, ReadStatus));
  EXPECT_EQ(last, 1);
  EXPECT_FALSE(PowerBroadcastCloses(10, 0, last, ReadStatus)); // unchanged
  statusNow = 0;
  EXPECT_TRUE(PowerBroadcastCloses(10, 0, last, ReadStatus));
  EXPECT_EQ(last, 0);
}

TEST(CloseRules, VerificationThrottle) {
  struct Case {
    std::uint32_t now, last;
    bool tooSoon;
  };
  const Case cases[] = {
      {1000, kNoVerificationYet, false}, {1000, 900, true}, {1099, 900, true}, {1100, 900, false},
      {50, 0xFFFFFFF0u, true}, // across the wrap of the tick count
      {500, 0xFFFFFFF0u, false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(VerificationTooSoon(c.now, c.last), c.tooSoon) << c.now << " after " << c.last;
}
