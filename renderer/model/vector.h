// Point3 and the few vector operations the bead step needs.
#pragma once

namespace orbilon {

struct Point3 {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Point3&, const Point3&) = default;
};

// Scales v to unit length and returns its former length; a zero vector stays zero (returns 0).
float Normalize(Point3& v);
float Dot(const Point3& a, const Point3& b);
Point3 Cross(const Point3& a, const Point3& b);

}  // namespace orbilon
