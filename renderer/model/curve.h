// The strands' degree-12 Bezier curve.
#pragma once

#include <array>
#include <cstdint>

#include "model/vector.h"

namespace orbilon {

inline constexpr int CurveDegree = 12;

// 1 * 2 * ... * n in 32-bit integers (1 for n = 0); exact up to 12!.
int32_t Factorial(int n);

// i! for i = 0 ... 12 in single precision. It already holds these values at start-up, so the
// curve is sound even before FillFactorialTable runs.
extern std::array<float, CurveDegree + 1> FactorialTable;
void FillFactorialTable();

// B(u) = sum over k of C(12, k) (1 - u)^(12 - k) u^k P[k]; B(0) = P[0], B(1) = P[12]. The same
// polynomial is evaluated outside 0 ... 1.
Point3 EvaluateCurve(const std::array<Point3, CurveDegree + 1>& points, float u);

}  // namespace orbilon
