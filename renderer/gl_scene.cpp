#include "gl_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "bead_mesh.h"
#include "bead_tilt.h"
#include "model/scene.h"

namespace orbilon {

namespace {

constexpr GLuint BeadList = 1;

}  // namespace

void ApplyViewport(const Viewport& v, Camera camera) {
    glViewport(v.x, v.y, v.width, v.height);
    // The camera lives in the projection matrix, so the light is given in scene terms.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(80, v.height > 0 ? static_cast<double>(v.width) / v.height : 1.0, 50, 3000);
    if (camera == Camera::Above) {
        glRotatef(90, 1, 0, 0);
        glTranslatef(0, -400, 0);
    } else {
        glTranslatef(0, 0, -400);
    }
    glMatrixMode(GL_MODELVIEW);
}

void SetUpSceneGl(int width, int height, Camera camera) {
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glEnable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);

    ApplyViewport({0, 0, width, height}, camera);
    glLoadIdentity();

    // Three slices and two stacks: a six-faced double pyramid, smooth shaded.
    glNewList(BeadList, GL_COMPILE);
    GLUquadric* quadric = gluNewQuadric();
    if (quadric) {
        gluSphere(quadric, BeadRadius, 3, 2);
        gluDeleteQuadric(quadric);
    }
    glEndList();

    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[] = {0.25f, 0.25f, 0.25f, 0};
    const GLfloat diffuse[] = {1, 1, 1, 0};
    const GLfloat specular[] = {1, 1, 1, 0};
    const GLfloat position[] = {400, -200, 400, 0};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);

    // Fix the specular reflectance at 0.7 grey through the colour, then let every later colour
    // set ambient and diffuse only.
    glEnable(GL_COLOR_MATERIAL);
    glMaterialf(GL_FRONT, GL_SHININESS, 20);
    glColorMaterial(GL_FRONT, GL_SPECULAR);
    glColor3f(0.7f, 0.7f, 0.7f);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
}

void DrawBeadPose(const BeadPose& pose) {
    glColor3f(pose.colour.r, pose.colour.g, pose.colour.b);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(pose.position.x, pose.position.y, pose.position.z);
    if (NeedsTilt(pose.tiltAxis)) {
        glRotatef(pose.tiltAngle, pose.tiltAxis.x, pose.tiltAxis.y, pose.tiltAxis.z);
    }
    glRotatef(pose.spin, 0, 1, 0);
    glTranslatef(pose.orbitOffset, 0, 0);
    glCallList(BeadList);
    glPopMatrix();
}

void ClearSceneGl() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::unique_ptr<BeadMesh> MakeSceneMesh() {
    return std::make_unique<BeadMesh>(BeadCount, BeadRadius);
}

void DrawPoses(const Scene& scene, BeadMesh& mesh) {
    const int count = std::min(mesh.beadCount(), BeadCount);
    for (int i = 0; i < count; ++i) mesh.Set(i, scene.pose(i));
    DrawMesh(mesh);
}

void DrawMesh(const BeadMesh& mesh) {
    // Identity: the vertices are in scene coordinates, where the light was given.
    glLoadIdentity();
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.positions());
    glNormalPointer(GL_FLOAT, 0, mesh.normals());
    // With colour material on, each vertex's colour sets ambient and diffuse as glColor3f did.
    glColorPointer(3, GL_FLOAT, 0, mesh.colours());
    glDrawElements(GL_TRIANGLES, mesh.indexCount(), GL_UNSIGNED_SHORT, mesh.indices());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void DrawPosesOneByOne(const Scene& scene) {
    for (int i = 0; i < BeadCount; ++i) DrawBeadPose(scene.pose(i));
}

void DrawReferenceFrame(const Scene& scene) {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_DITHER);
    ClearSceneGl();
    DrawPosesOneByOne(scene);
    glPopAttrib();
}

void DrawSceneFrame(Scene& scene, BeadMesh& mesh) {
    ClearSceneGl();
    scene.StepFrame();
    DrawPoses(scene, mesh);
}

void ReleaseSceneGl() {
    glDeleteLists(BeadList, 1);
}

}  // namespace orbilon

namespace orbilon {

uint32_t SceneGl::ClockSeed() {
    return Scene::ClockSeed();
}

SceneGl::SceneGl(uint32_t seed, int width, int height)
    : scene_(std::make_unique<Scene>(seed)),
      mesh_(MakeSceneMesh()),
      viewports_{{0, 0, width, height}},
      applied_{0, 0, width, height} {
    SetUpSceneGl(width, height, scene_->camera());
}

void SceneGl::SetViewports(std::vector<Viewport> viewports) {
    viewports_ = std::move(viewports);
}

SceneGl::~SceneGl() {
    ReleaseSceneGl();
}

void SceneGl::DrawFrame() {
    // glClear ignores the viewport: one clear covers every monitor.
    ClearSceneGl();
    scene_->StepFrame();
    bool posed = false;
    for (const Viewport& v : viewports_) {
        if (v != applied_) {
            applied_ = v;
            ApplyViewport(v, scene_->camera());
        }
        if (!posed) {
            DrawPoses(*scene_, *mesh_);
            posed = true;
        } else {
            DrawMesh(*mesh_);
        }
    }
}

void SceneGl::StepModel() {
    scene_->StepFrame();
    posed_ = false;
}

void SceneGl::DrawLatest(const Viewport& viewport) {
    if (viewport != applied_) {
        applied_ = viewport;
        ApplyViewport(viewport, scene_->camera());
    }
    ClearSceneGl();
    // The mesh is posed once per step, then drawn as it is into every further surface.
    if (!posed_) {
        DrawPoses(*scene_, *mesh_);
        posed_ = true;
    } else {
        DrawMesh(*mesh_);
    }
}

}  // namespace orbilon
