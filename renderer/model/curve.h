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
// polynomial is evaluated outside 0 ... 1. Each term's weight is formed in double and rounded
// to float once, then the terms are summed in float in ascending k. The powers come from
// running products, which agree with the power function to a few double ulps, so the float
// result matches EvaluateCurveDirect's except, rarely, in its last bit.
Point3 EvaluateCurve(const std::array<Point3, CurveDegree + 1>& points, float u);

// EvaluateCurve at two parameters in one pass (a bead's point and its look-back), each result
// bit for bit the one EvaluateCurve gives.
void EvaluateCurve2(const std::array<Point3, CurveDegree + 1>& points, float u, float v,
                    Point3& atU, Point3& atV);

// The same sum with every power taken from std::pow: the reference the faster form is held
// to, and the baseline its benchmark compares against.
Point3 EvaluateCurveDirect(const std::array<Point3, CurveDegree + 1>& points, float u);

}  // namespace orbilon
