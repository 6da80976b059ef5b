// Whether a bead's tilt is a rotation at all.
#pragma once

#include "model/vector.h"

namespace orbilon {

// False for the zero axis the model gives when no tilt is needed (travel straight up, or no
// direction at all), and for an axis so short that its squared length vanishes: GL would
// normalise it by dividing by zero and the bead would disappear into NaN.
inline bool NeedsTilt(const Point3& axis) {
    return axis.x * axis.x + axis.y * axis.y + axis.z * axis.z > 0.0f;
}

}  // namespace orbilon
