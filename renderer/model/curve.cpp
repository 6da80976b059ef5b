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

// C(12, k) from the factorials, rounded as the table is.
constexpr std::array<float, CurveDegree + 1> Binomials() {
    const std::array<float, CurveDegree + 1> f = Factorials();
    std::array<float, CurveDegree + 1> table{};
    for (int k = 0; k <= CurveDegree; ++k) table[k] = f[CurveDegree] / (f[CurveDegree - k] * f[k]);
    return table;
}
constexpr std::array<float, CurveDegree + 1> Binomial = Binomials();
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

namespace {

// a^k for k = 0 ... 12; x^0 is 1 even for x = 0, which pins the ends to P[0] and P[12].
// Products of halves keep the dependency chains short.
inline void Powers(double a, std::array<double, CurveDegree + 1>& p) {
    p[0] = 1;
    p[1] = a;
#pragma GCC unroll 16
    for (int k = 2; k <= CurveDegree; ++k) p[k] = p[k / 2] * p[k - k / 2];
}

// Each term's weight rounded to float once, as the power-function form rounds it.
inline void Weights(float u, std::array<float, CurveDegree + 1>& w) {
    std::array<double, CurveDegree + 1> pa, pb;
    Powers(1.0f - u, pa);
    Powers(u, pb);
#pragma GCC unroll 16
    for (int k = 0; k <= CurveDegree; ++k) {
        w[k] = static_cast<float>(pa[CurveDegree - k] * pb[k] * Binomial[k]);
    }
}

}  // namespace

Point3 EvaluateCurve(const std::array<Point3, CurveDegree + 1>& points, float u) {
    std::array<float, CurveDegree + 1> w;
    Weights(u, w);
    Point3 sum;
#pragma GCC unroll 16
    for (int k = 0; k <= CurveDegree; ++k) {
        sum.x += w[k] * points[k].x;
        sum.y += w[k] * points[k].y;
        sum.z += w[k] * points[k].z;
    }
    return sum;
}

void EvaluateCurve2(const std::array<Point3, CurveDegree + 1>& points, float u, float v,
                    Point3& atU, Point3& atV) {
    std::array<float, CurveDegree + 1> wu, wv;
    Weights(u, wu);
    Weights(v, wv);
    // Two independent sums in one loop, each in ascending k as EvaluateCurve adds them.
    Point3 su, sv;
#pragma GCC unroll 16
    for (int k = 0; k <= CurveDegree; ++k) {
        const Point3& p = points[k];
        su.x += wu[k] * p.x;
        su.y += wu[k] * p.y;
        su.z += wu[k] * p.z;
        sv.x += wv[k] * p.x;
        sv.y += wv[k] * p.y;
        sv.z += wv[k] * p.z;
    }
    atU = su;
    atV = sv;
}

Point3 EvaluateCurveDirect(const std::array<Point3, CurveDegree + 1>& points, float u) {
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
