// The outputs a Wayland run covers, one surface each, and the one model they share: which
// outputs get a surface, which surfaces are let go, when the run is over, and when a surface's
// frame steps the model.
#pragma once

#include <cstdint>
#include <map>

namespace orbilon {

class OutputSet {
public:
    // An output appeared (by its registry name): true when a surface is to be made for it.
    bool Added(uint32_t output);
    // The output left: true when its surface is still up and must be let go.
    bool Removed(uint32_t output);
    // The compositor closed the surface on this output: true when it was up and must be let go.
    // The output keeps no surface from then on; making one again would fight the compositor.
    bool Closed(uint32_t output);

    bool HasSurface(uint32_t output) const;
    int surfaces() const;
    // True once the run had a surface and every one has gone: the run ends.
    bool Over() const { return hadSurface_ && surfaces() == 0; }

private:
    enum class State { Surface, LetGo };
    std::map<uint32_t, State> outputs_;
    bool hadSurface_ = false;
};

// One model for every surface, each paced by its own output. A surface due for a frame that
// already shows the model's latest step takes the model a step further; one that does not
// catches up with the latest step without stepping. So equal outputs step the model once per
// frame between them, a faster output drives it, and one that gets no frames (hidden, off)
// holds nothing back.
class SharedStep {
public:
    // `surface` is about to draw: true when the model must step first.
    bool BeforeDraw(uint32_t surface);
    void Forget(uint32_t surface) { shown_.erase(surface); }
    uint64_t step() const { return step_; }

private:
    uint64_t step_ = 0;
    std::map<uint32_t, uint64_t> shown_;
};

}  // namespace orbilon
