// The configuration dialog's value mapping and rules, free of the system.
#pragma once
#include <cstdint>

// The speed slider runs from slow (left, position 1 = 500 ms) to fast.
constexpr int SpeedSliderPosition(std::uint32_t drawSpeed) {
  return 501 - static_cast<int>(drawSpeed);
}
constexpr std::uint32_t DrawSpeedFromSlider(int position) {
  return static_cast<std::uint32_t>(501 - position);
}

constexpr bool FrequencyAccepted(std::uint32_t value) { return value >= 1 && value <= 1000; }

// Whether the text is one unsigned decimal number, blanks around it allowed.
// Some GetDlgItemInt implementations stop at the first non-digit and report
// success ("12a" as 12); the frequency box accepts digits only.
constexpr bool IsPlainNumber(const char *text) {
  while (*text == ' ')
    ++text;
  if (*text < '0' || *text > '9') return false;
  while (*text >= '0' && *text <= '9')
    ++text;
  while (*text == ' ')
    ++text;
  return *text == '\0';
}

struct FrequencyControlsEnabled {
  bool checkBox;
  bool editBox;
};
constexpr FrequencyControlsEnabled FrequencyEnabling(bool changeBackground,
                                                     bool useFixedFrequency) {
  return {changeBackground, changeBackground && useFixedFrequency};
}

// The curve-count range after one of its ends moved: the other end follows
// so that minimum <= maximum (compared unsigned, as the up-downs report them).
struct CountRange {
  std::uint32_t minimum;
  std::uint32_t maximum;
  bool otherMoved;
};
constexpr CountRange AfterMinimumMoved(std::uint32_t minimum, std::uint32_t maximum) {
  return maximum < minimum ? CountRange{minimum, minimum, true}
                           : CountRange{minimum, maximum, false};
}
constexpr CountRange AfterMaximumMoved(std::uint32_t minimum, std::uint32_t maximum) {
  return minimum > maximum ? CountRange{maximum, maximum, true}
                           : CountRange{minimum, maximum, false};
}
