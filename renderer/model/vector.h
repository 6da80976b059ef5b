// Point3 and the few vector operations the bead step needs; inline, as every bead step of
// every frame calls them.
#pragma once

#include <cmath>

namespace orbilon {

struct Point3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

// Scales v to unit length and returns its former length; a zero vector stays zero (returns 0).
inline float Normalize(Point3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0) return 0;
    v.x /= length;
    v.y /= length;
    v.z /= length;
    return length;
}

inline float Dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace orbilon
