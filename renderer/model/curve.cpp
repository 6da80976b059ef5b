#include "model/curve.h"

#include <cmath>

namespace orbilon {

namespace {
constexpr std::array<float, CurveDegree + 1> Factorials() {
    std::array<float, CurveDegree + 1> table{};
    int32_t f = 1;
    for (int i = 0; i <= CurveDegree; ++i) {
        if (i > 0) f *= i;
        table[i] = static_cast<float>(f);
    }
    return table;
}
}  // namespace

std::array<float, CurveDegree + 1> FactorialTable = Factorials();

int32_t Factorial(int n) {
    int32_t f = 1;
    for (int i = 2; i <= n; ++i) f *= i;
    return f;
}

void FillFactorialTable() {
    for (int i = 0; i <= CurveDegree; ++i) FactorialTable[i] = static_cast<float>(Factorial(i));
}

Point3 EvaluateCurve(const std::array<Point3, CurveDegree + 1>& points, float u) {
    const double a = 1.0f - u;
    const double b = u;
    Point3 sum;
    for (int k = 0; k <= CurveDegree; ++k) {
        const float binomial =
            FactorialTable[CurveDegree] / (FactorialTable[CurveDegree - k] * FactorialTable[k]);
        // std::pow(x, 0) is 1 even for x = 0, which pins the curve's ends to P[0] and P[12].
        const float weight =
            static_cast<float>(std::pow(a, CurveDegree - k) * std::pow(b, k) * binomial);
        sum.x += weight * points[k].x;
        sum.y += weight * points[k].y;
        sum.z += weight * points[k].z;
    }
    return sum;
}

}  // namespace orbilon
