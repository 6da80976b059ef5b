// A bead: one of the small shapes that spiral up a strand's curve and restart at its bottom.
#pragma once

#include "model/colour.h"
#include "model/strand.h"
#include "model/vector.h"

namespace orbilon {

// What drawing needs for one bead: translate to position, rotate by tiltAngle (degrees) about
// tiltAxis, rotate by spin (degrees) about y, translate by orbitOffset along x.
struct BeadPose {
    Rgb colour;
    Point3 position;
    // A zero axis (with angle 0) means the shape needs no tilt and drawing may skip it.
    Point3 tiltAxis;
    float tiltAngle = 0;
    float spin = 0;
    float orbitOffset = 0;
};

class Bead {
public:
    virtual ~Bead() = default;

    // Binds the bead to its strand (not owned; it must outlive the bead) and restarts it.
    static Bead Create(const Strand& strand);

    // A new run from the bottom: new pace and spin (two random values), the strand's colour now.
    void Reset();

    // One frame along the curve; restarts first once progress has passed 1.
    BeadPose Step();

    Rgb colour;
    Point3 position;
    float pace = 0;
    float progress = 0;
    float spin = 0;

private:
    explicit Bead(const Strand& strand) : strand_(&strand) {}
    const Strand* strand_;
};

// The orbit radius at a curve parameter: the 13 radii sit at 0, 1/12, ... 1, joined linearly.
float RadiusAt(const Radii& radii, float progress);

// The tilt that turns the y axis onto the unit direction. Straight up, or no direction at all,
// needs no tilt; straight down turns half a turn about x.
void TiltFor(const Point3& direction, Point3& axis, float& angle);

}  // namespace orbilon
