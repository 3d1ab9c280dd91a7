#include "platform/random.h"

// The classic C library generator, so a seed gives the sequence srand/rand
// gave the game.
void SeedRandom(RandomGenerator& rng, unsigned seed) {
  rng.state = seed;
}

int NextRandom(RandomGenerator& rng) {
  rng.state = rng.state * 214013u + 2531011u;
  return static_cast<int>((rng.state >> 16) & RandomMax);
}
