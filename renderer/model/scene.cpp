#include "model/scene.h"

#include <ctime>

#include "model/random.h"

namespace orbilon {

namespace {
constexpr int DiscardedDraws = 10;
}

const char* CameraName(Camera camera) {
    return camera == Camera::Above ? "above" : "front";
}

uint32_t Scene::ClockSeed() {
    return static_cast<uint32_t>(std::time(nullptr));
}

Scene::Scene(uint32_t seed) {
    SeedRandom(seed);
    for (int i = 0; i < DiscardedDraws; ++i) NextRandom();

    // About one start in 500 looks down from above.
    camera_ = 500 * NextRandom() / 32767 == 0 ? Camera::Above : Camera::Front;

    FillFactorialTable();

    // Interleaved (strand, its beads, next strand): this fixes the order of the random draws.
    strands_.reserve(StrandCount);
    beads_.reserve(BeadCount);
    for (int s = 0; s < StrandCount; ++s) {
        strands_.push_back(Strand::Create());
        for (int b = 0; b < BeadsPerStrand; ++b) beads_.push_back(Bead::Create(*strands_[s]));
    }
    poses_.resize(BeadCount);
}

}  // namespace orbilon
