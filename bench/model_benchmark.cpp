// Times one frame of the model against the cost of the curve evaluations a frame needs when
// every power comes from the power function. Run by hand or through `make bench`:
//   build/model-benchmark --benchmark_repetitions=10 --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include "model/curve.h"
#include "model/scene.h"

namespace {

// 5 strand updates and 1500 bead steps, as the renderer does each frame.
void BM_Frame(benchmark::State& state) {
    orbilon::Scene scene(1);
    for (int i = 0; i < 100; ++i) scene.StepFrame();  // spread the beads along their strands
    for (auto _ : state) {
        scene.StepFrame([](const orbilon::BeadPose& pose) { benchmark::DoNotOptimize(pose); });
    }
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond);

// The 3000 curve evaluations a frame makes (two per bead), at the beads' own parameters.
template <orbilon::Point3 (*Evaluate)(const orbilon::ControlPoints&, float)>
void FrameCurves(benchmark::State& state) {
    orbilon::Scene scene(1);
    for (int i = 0; i < 100; ++i) scene.StepFrame();
    for (auto _ : state) {
        for (int b = 0; b < orbilon::BeadCount; ++b) {
            const auto& points = scene.strand(b / orbilon::BeadsPerStrand).currentPoints;
            const float u = scene.bead(b).progress;
            benchmark::DoNotOptimize(Evaluate(points, u));
            benchmark::DoNotOptimize(Evaluate(points, u - 0.01f));
        }
    }
}
void BM_FrameCurves(benchmark::State& state) {
    FrameCurves<orbilon::EvaluateCurve>(state);
}
void BM_FrameCurvesDirect(benchmark::State& state) {
    FrameCurves<orbilon::EvaluateCurveDirect>(state);
}
BENCHMARK(BM_FrameCurves)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FrameCurvesDirect)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
