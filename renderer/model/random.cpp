#include "model/random.h"

namespace orbilon {

namespace {
uint32_t state = 1;
uint64_t draws = 0;
}  // namespace

void SeedRandom(uint32_t seed) {
    state = seed;
    draws = 0;
}

int NextRandom() {
    state = state * 214013u + 2531011u;
    ++draws;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

uint64_t RandomDraws() {
    return draws;
}

}  // namespace orbilon
