// The one pseudo-random generator of the program: a linear congruential
// generator giving values 0 to 32767. Every random choice takes its next value.
#pragma once
#include <cstdint>

int NextRandom();
void SeedRandom(std::uint32_t seed);

// Milliseconds since some fixed start; the seed of every colour walker.
// GetTickCount on Windows, a monotonic clock elsewhere.
std::uint32_t TickCount();
