// The game's random generator: results exactly 0..32767, seeded like srand.
//
// Callers: StartUpRecords seeds it, PickTargetIndex draws from it. Its state
// lives in GameGlobals so a test can start from a known one.
#pragma once

#include <cstdint>

constexpr int RandomMax = 32767;

struct RandomGenerator {
  std::uint32_t state = 1;
};

void SeedRandom(RandomGenerator& rng, unsigned seed);
// The next value in 0..RandomMax.
int NextRandom(RandomGenerator& rng);
