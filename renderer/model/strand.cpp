#include "model/strand.h"

#include <algorithm>
#include <cmath>

#include "model/draw.h"

namespace orbilon {

namespace {
constexpr float TwoPi = 6.2831855f;
constexpr int Top = ControlPointCount - 1;

float F(double v) {
    return static_cast<float>(v);
}
}  // namespace

std::unique_ptr<Strand> Strand::Create() {
    auto strand = std::make_unique<Strand>();
    ControlPoints& p = strand->currentPoints;

    // Built from the top down: each point wanders a little from the one above it.
    p[Top].x = F(Draw(K400) - 200);
    p[Top].y = 200;
    p[Top].z = F(Draw(K400) - 200);
    p[Top - 1].x = p[Top].x;
    p[Top - 1].y = F(Draw(K66) + 50);
    p[Top - 1].z = p[Top].z;
    for (int i = Top - 2; i >= 2; --i) {
        p[i].x = F(Draw(K200) + p[i + 1].x - 100);
        p[i].y = F(Draw(K400) - 200);
        p[i].z = F(Draw(K200) + p[i + 1].z - 100);
    }
    p[1].x = F(Draw(K100) + p[2].x - 50);
    p[1].y = F(-Draw(K100) - 50);
    p[1].z = F(Draw(K100) + p[2].z - 50);
    p[0].x = F(Draw(K25) + p[1].x - 12);
    p[0].y = -200;
    p[0].z = F(Draw(K25) + p[1].z - 12);

    Radii& r = strand->currentRadii;
    r[Top] = F(Draw(K175) + 75);
    r[Top - 1] = F(Draw(K60) + 15);
    for (int i = Top - 2; i >= 2; --i) r[i] = F(Draw(K25) + 15);
    r[1] = F(Draw(K25) + 5);
    r[0] = F(Draw(K15) + 5);

    Hsv& start = strand->startHsv;
    Hsv& target = strand->targetHsv;
    start.h = F(Draw(K1));
    start.s = F(Draw(K1));
    start.v = 0;
    target.h = F(Draw(K1));
    target.s = F(Draw(K1));
    target.v = 1.0f;
    strand->colourClock = {0, 300};  // the fade-in from black
    strand->currentHsv = start;

    // The first update's middle-point heights read the targets of points not yet renewed;
    // starting from the current shape keeps those reads meaningful.
    strand->targetPoints = p;
    strand->startPoints = p;
    strand->targetRadii = r;
    strand->startRadii = r;
    return strand;
}

void Strand::RenewPoint(int i) {
    startPoints[i] = currentPoints[i];
    const ControlPoints& t = targetPoints;
    const ControlPoints& c = currentPoints;
    Point3 next;
    int32_t length;
    if (i == Top) {
        next.x = F(Draw(K400) - 200);
        next.y = 200;
        next.z = F(Draw(K400) - 200);
        length = DrawLength(5000, 10000);
    } else if (i == Top - 1) {
        next.x = c[Top].x;
        next.y = F(Draw(K66) + 50);
        next.z = c[Top].z;
        length = DrawLength(5000, 7000);
    } else if (i >= 2) {
        // Extend the line through the two targets above by half a step, plus jitter.
        next.x =
            F(Draw(K100) + (static_cast<double>(t[i + 1].x) - t[i + 2].x) * 0.5 + t[i + 1].x - 50);
        next.y = F(std::clamp(Draw(K25) + (static_cast<double>(t[i + 1].y) + t[i - 1].y) * 0.5 - 12,
                              -200.0, 200.0));
        next.z =
            F(Draw(K100) + (static_cast<double>(t[i + 1].z) - t[i + 2].z) * 0.5 + t[i + 1].z - 50);
        length = DrawLength(3000, 5000);
    } else if (i == 1) {
        next.x = F(Draw(K100) + t[2].x - 50);
        next.y = F(-Draw(K100) - 50);
        next.z = F(Draw(K100) + t[2].z - 50);
        length = DrawLength(2000, 4000);
    } else {
        next.x = F(Draw(K25) + c[1].x - 12);
        next.y = -200;
        next.z = F(Draw(K25) + c[1].z - 12);
        length = DrawLength(1500, 3000);
    }
    targetPoints[i] = next;
    pointClocks[i] = {0, length};
}

void Strand::RenewRadius(int i) {
    startRadii[i] = currentRadii[i];
    float target;
    int32_t length;
    if (i == Top) {
        target = F(Draw(K225) + 75);
        length = DrawLength(5000, 5000);
    } else if (i == Top - 1) {
        target = F(Draw(K80) + 15);
        length = DrawLength(5000, 5000);
    } else if (i >= 2) {
        target = F(Draw(K25) + 15);
        length = DrawLength(4000, 5000);
    } else if (i == 1) {
        target = F(Draw(K25) + 5);
        length = DrawLength(3000, 5000);
    } else {
        target = F(Draw(K15) + 5);
        length = DrawLength(2000, 5000);
    }
    targetRadii[i] = target;
    radiusClocks[i] = {0, length};
}

void Strand::RenewColour() {
    startHsv = currentHsv;
    targetHsv.h = F(Draw(K1));
    targetHsv.s = F(Draw(K1));
    targetHsv.v = F(std::min(Draw(K1) + 0.5, 1.0));
    colourClock = {0, DrawLength(100, 1900)};
}

void Strand::Update() {
    for (int i = Top; i >= 0; --i) {
        if (pointClocks[i].Due()) RenewPoint(i);
    }
    for (int i = 0; i <= Top; ++i) {
        Transition& clock = pointClocks[i];
        // Out to the target and back: the weight is 0 at both ends, 1 halfway.
        const double e =
            (1 - std::cos(static_cast<double>(TwoPi) * clock.elapsed / clock.length)) * 0.5;
        const Point3& s = startPoints[i];
        const Point3& t = targetPoints[i];
        currentPoints[i] = {F(s.x + (static_cast<double>(t.x) - s.x) * e),
                            F(s.y + (static_cast<double>(t.y) - s.y) * e),
                            F(s.z + (static_cast<double>(t.z) - s.z) * e)};
        ++clock.elapsed;
    }

    for (int i = Top; i >= 0; --i) {
        if (radiusClocks[i].Due()) RenewRadius(i);
    }
    for (int i = 0; i <= Top; ++i) {
        Transition& clock = radiusClocks[i];
        currentRadii[i] = F(startRadii[i] + (static_cast<double>(targetRadii[i]) - startRadii[i]) *
                                                clock.elapsed / clock.length);
        ++clock.elapsed;
    }

    if (colourClock.Due()) RenewColour();
    const float t = F(static_cast<double>(colourClock.elapsed) / colourClock.length);
    currentHsv = BlendHsv(startHsv, targetHsv, t, HueDownward(startHsv.h, targetHsv.h));
    ++colourClock.elapsed;
}

}  // namespace orbilon
