#include "model/scene_json.h"

#include <charconv>
#include <cstdio>

namespace orbilon {

std::optional<uint32_t> ParseUint32(std::string_view text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<SceneDumpArgs> ParseSceneDumpArgs(int argc, const char* const* argv) {
    if (argc != 3) return std::nullopt;
    const auto seed = ParseUint32(argv[1]);
    const auto frames = ParseUint32(argv[2]);
    if (!seed || !frames) return std::nullopt;
    return SceneDumpArgs{*seed, *frames};
}

namespace {

class Writer {
public:
    void Raw(std::string_view text) { out_ += text; }
    void Float(float v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
        out_ += buf;
    }
    void Int(long long v) { out_ += std::to_string(v); }
    void Point(const Point3& p) {
        Raw("[");
        Float(p.x);
        Raw(",");
        Float(p.y);
        Raw(",");
        Float(p.z);
        Raw("]");
    }
    void Triple(float a, float b, float c) { Point({a, b, c}); }
    void Clock(const Transition& t) {
        Raw("[");
        Int(t.elapsed);
        Raw(",");
        Int(t.length);
        Raw("]");
    }
    template <class T, class F>
    void List(const T& items, F&& each) {
        Raw("[");
        bool first = true;
        for (const auto& item : items) {
            if (!first) Raw(",");
            first = false;
            each(item);
        }
        Raw("]");
    }
    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

void WriteStrand(Writer& w, const Strand& s) {
    w.Raw("{\"points\":");
    w.List(s.currentPoints, [&](const Point3& p) { w.Point(p); });
    w.Raw(",\"radii\":");
    w.List(s.currentRadii, [&](float r) { w.Float(r); });
    w.Raw(",\"hsv\":");
    w.Triple(s.currentHsv.h, s.currentHsv.s, s.currentHsv.v);
    w.Raw(",\"pointClocks\":");
    w.List(s.pointClocks, [&](const Transition& t) { w.Clock(t); });
    w.Raw(",\"radiusClocks\":");
    w.List(s.radiusClocks, [&](const Transition& t) { w.Clock(t); });
    w.Raw(",\"colourClock\":");
    w.Clock(s.colourClock);
    w.Raw("}");
}

void WriteBead(Writer& w, const Bead& b, const BeadPose* pose) {
    w.Raw("{\"colour\":");
    w.Triple(b.colour.r, b.colour.g, b.colour.b);
    w.Raw(",\"pace\":");
    w.Float(b.pace);
    w.Raw(",\"progress\":");
    w.Float(b.progress);
    w.Raw(",\"spin\":");
    w.Float(b.spin);
    if (pose) {
        w.Raw(",\"pose\":{\"position\":");
        w.Point(pose->position);
        w.Raw(",\"tiltAxis\":");
        w.Point(pose->tiltAxis);
        w.Raw(",\"tiltAngle\":");
        w.Float(pose->tiltAngle);
        w.Raw(",\"spin\":");
        w.Float(pose->spin);
        w.Raw(",\"orbitOffset\":");
        w.Float(pose->orbitOffset);
        w.Raw("}");
    }
    w.Raw("}");
}

}  // namespace

std::string SceneJson(const Scene& scene, uint32_t seed, uint64_t draws) {
    Writer w;
    w.Raw("{\"seed\":");
    w.Int(seed);
    w.Raw(",\"frames\":");
    w.Int(static_cast<long long>(scene.frames()));
    w.Raw(",\"camera\":\"");
    w.Raw(CameraName(scene.camera()));
    w.Raw("\",\"draws\":");
    w.Int(static_cast<long long>(draws));
    w.Raw(",\n\"strands\":[");
    for (int i = 0; i < StrandCount; ++i) {
        w.Raw(i ? ",\n" : "\n");
        WriteStrand(w, scene.strand(i));
    }
    w.Raw("],\n\"beads\":[");
    for (int i = 0; i < BeadCount; ++i) {
        w.Raw(i ? ",\n" : "\n");
        WriteBead(w, scene.bead(i), scene.frames() ? &scene.pose(i) : nullptr);
    }
    w.Raw("]}\n");
    return w.Take();
}

}  // namespace orbilon
