#include "model/vector.h"

#include <cmath>

namespace orbilon {

float Normalize(Point3& v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0) return 0;
    v.x /= length;
    v.y /= length;
    v.z /= length;
    return length;
}

float Dot(const Point3& a, const Point3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

}  // namespace orbilon
