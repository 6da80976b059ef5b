// scene-dump SEED FRAMES: the model's state after FRAMES frames from SEED, as JSON.
#include <cstdio>

#include "model/random.h"
#include "model/scene.h"
#include "model/scene_json.h"

int main(int argc, char** argv) {
    const auto args = orbilon::ParseSceneDumpArgs(argc, argv);
    if (!args) {
        std::fputs("usage: scene-dump SEED FRAMES  (unsigned 32-bit decimals)\n", stderr);
        return 2;
    }
    orbilon::Scene scene(args->seed);
    for (uint32_t i = 0; i < args->frames; ++i) scene.StepFrame();
    const std::string json = orbilon::SceneJson(scene, args->seed, orbilon::RandomDraws());
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}
