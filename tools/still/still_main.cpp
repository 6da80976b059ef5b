// orbilon-still SEED FRAMES WIDTH HEIGHT OUT.png: the frame after FRAMES steps of the scene
// seeded with SEED (as scene-dump seeds it), drawn offscreen by the saver's own drawing code.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "bead_mesh.h"
#include "egl_offscreen.h"
#include "gl_scene.h"
#include "model/scene.h"
#include "png.h"
#include "still_args.h"

int main(int argc, char** argv) {
    const std::optional<orbilon::StillArgs> args = orbilon::ParseStillArgs(argc, argv);
    if (!args) {
        std::fprintf(stderr,
                     "usage: orbilon-still SEED FRAMES WIDTH HEIGHT OUT.png (WIDTH and HEIGHT "
                     "1 ... %d)\n",
                     orbilon::MaxStillSide);
        return 2;
    }
    std::string error;
    auto offscreen = orbilon::EglOffscreen::Create(args->width, args->height, &error);
    if (!offscreen) {
        std::fprintf(stderr, "orbilon-still: %s\n", error.c_str());
        return 1;
    }
    orbilon::Scene scene(args->seed);
    orbilon::SetUpSceneGl(args->width, args->height, scene.camera());
    const auto mesh = orbilon::MakeSceneMesh();
    // Only the last step needs drawing; the ones before only move the model.
    for (uint32_t i = 1; i < args->frames; ++i) scene.StepFrame();
    if (args->frames > 0) {
        orbilon::DrawSceneFrame(scene, *mesh);
    } else {
        orbilon::ClearSceneGl();
    }
    if (!orbilon::WritePng(args->out, args->width, args->height, offscreen->ReadRgb())) {
        std::fprintf(stderr, "orbilon-still: cannot write %s\n", args->out.c_str());
        return 1;
    }
    return 0;
}
