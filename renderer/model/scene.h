// The whole animation model: five strands and their 1500 beads, created from one seed and
// stepped one frame at a time in drawing order. No graphics here; the renderer draws the poses.
//
//   orbilon::Scene scene(orbilon::Scene::ClockSeed());
//   if (scene.camera() == orbilon::Camera::Above) ...            // projection set-up
//   scene.StepFrame([&](const orbilon::BeadPose& pose) { ... }); // once per frame
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "model/bead.h"
#include "model/strand.h"

namespace orbilon {

inline constexpr int BeadCount = StrandCount * BeadsPerStrand;

// Front: seen from z = +400 with y up. Above: seen from 400 units above, looking down y.
enum class Camera { Front, Above };
const char* CameraName(Camera camera);  // "front" or "above"

class Scene {
public:
    // The model's part of graphics start-up, in order: seed the random source and discard 10
    // values, draw the camera, fill FactorialTable, then create each strand followed by its 300
    // beads. Reseeds the process-wide random source, so only one scene should be live at a time.
    explicit Scene(uint32_t seed);

    // Seconds since 1970 (UTC), truncated to 32 bits: the seed a real run uses.
    static uint32_t ClockSeed();

    Camera camera() const { return camera_; }

    // One frame: for each strand in order, its update, then each of its beads' step, handing
    // every pose to draw(const BeadPose&) right after that bead's step. The poses are also kept.
    template <class DrawFn>
    void StepFrame(DrawFn&& draw) {
        for (int s = 0; s < StrandCount; ++s) {
            strands_[s]->Update();
            for (int b = s * BeadsPerStrand; b < (s + 1) * BeadsPerStrand; ++b) {
                poses_[b] = beads_[b].Step();
                draw(static_cast<const BeadPose&>(poses_[b]));
            }
        }
        ++frames_;
    }
    void StepFrame() {
        StepFrame([](const BeadPose&) {});
    }

    // Strand i, 0 ... 4; bead i, 0 ... 1499, where beads s*300 ... s*300+299 ride strand s.
    const Strand& strand(int i) const { return *strands_[i]; }
    const Bead& bead(int i) const { return beads_[i]; }
    // The pose of bead i's latest step (all zero before the first frame).
    const BeadPose& pose(int i) const { return poses_[i]; }
    uint64_t frames() const { return frames_; }

private:
    Camera camera_ = Camera::Front;
    std::vector<std::unique_ptr<Strand>> strands_;
    std::vector<Bead> beads_;
    std::vector<BeadPose> poses_;
    uint64_t frames_ = 0;
};

}  // namespace orbilon
