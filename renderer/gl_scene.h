// The OpenGL 1.1 side of the scene, shared by the saver window and the offscreen still: camera,
// light, material, the bead shape, and drawing one frame of the model. The model is only
// declared here, so window-system headers (whose macros clash with its names) may come along.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orbilon {

class Scene;
class BeadMesh;
struct BeadPose;
enum class Camera;

// Viewport, depth test, culling, projection with the camera, light 0, material and display
// list 1 (the bead shape), on the context current now. The aspect ratio is taken once.
void SetUpSceneGl(int width, int height, Camera camera);

// Black colour and cleared depth.
void ClearSceneGl();

// Clears, steps the model by one frame and draws it (DrawPoses). No buffer swap.
void DrawSceneFrame(Scene& scene, BeadMesh& mesh);

// The poses of the model's latest step, every bead posed on the CPU into the mesh and drawn
// with one vertex-array call under an identity model-view.
void DrawPoses(const Scene& scene, BeadMesh& mesh);

// The mesh as posed last, again (for a further viewport).
void DrawMesh(const BeadMesh& mesh);

// The same poses drawn one bead at a time, each through its own matrix and display list 1:
// slower, kept as the reference the one-call drawing is compared with.
void DrawPosesOneByOne(const Scene& scene);

// The reference frame of the scene's latest step: cleared, every bead through its own matrix
// and display list 1, with OpenGL's default state wherever the saver's drawing leaves it.
void DrawReferenceFrame(const Scene& scene);

// One bead on the current model-view matrix, through display list 1.
void DrawBeadPose(const BeadPose& pose);

// A mesh with room for every bead of the scene.
std::unique_ptr<BeadMesh> MakeSceneMesh();

// Frees display list 1.
void ReleaseSceneGl();

// A rectangle of the window in GL's coordinates (origin at the bottom left), in pixels.
struct Viewport {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Viewport&) const = default;
};

// glViewport and the projection (field of view, the rectangle's own aspect ratio, the camera)
// for one rectangle; leaves the model-view matrix current.
void ApplyViewport(const Viewport& viewport, Camera camera);

// The model together with its GL set-up, as the saver window holds it.
class SceneGl {
public:
    // Seconds since 1970, the seed a real run uses.
    static uint32_t ClockSeed();

    // Creates the model from the seed, then sets up the current context for it.
    SceneGl(uint32_t seed, int width, int height);
    ~SceneGl();
    SceneGl(const SceneGl&) = delete;
    SceneGl& operator=(const SceneGl&) = delete;

    // Where the composition is drawn: once per rectangle (one per monitor), each with its own
    // aspect ratio, from one step of the model. Also how a resized window is followed.
    void SetViewports(std::vector<Viewport> viewports);

    // Clears, steps the model once and draws it into every viewport. No buffer swap.
    void DrawFrame();

    Scene& scene() { return *scene_; }
    // For several surfaces sharing this context and the model: one step of the model, then
    // its latest poses drawn into each surface as it comes due, filling `viewport` (the whole
    // surface), cleared first. No buffer swap.
    void StepModel();
    void DrawLatest(const Viewport& viewport);

private:
    std::unique_ptr<Scene> scene_;
    std::unique_ptr<BeadMesh> mesh_;
    std::vector<Viewport> viewports_;
    Viewport applied_;
    bool posed_ = false;
};

}  // namespace orbilon
