// The renderer's one random source: every random choice draws from this sequence in a fixed
// order, so a seed reproduces a whole run.
#pragma once

#include <cstdint>

namespace orbilon {

// state = seed; also restarts the draw counter.
void SeedRandom(uint32_t seed);

// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF, 0 ... 32767.
int NextRandom();

// NextRandom calls since the last SeedRandom (or process start).
uint64_t RandomDraws();

}  // namespace orbilon
