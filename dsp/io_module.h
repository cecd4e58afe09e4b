// The base of every signal module: blocks of samples flow through slots.
// An input slot points at the buffer that feeds it, or is null when nothing
// is patched there (the module then uses its knob or neutral value); an
// output slot points at the buffer the module writes. Modules are driven one
// whole block per process call, never one sample per virtual call.
#pragma once

#include <array>

namespace tarvik {

class IOModule {
public:
    static constexpr int kSlots = 16;

    IOModule() = default;
    virtual ~IOModule() = default;
    IOModule(const IOModule&) = delete;
    IOModule& operator=(const IOModule&) = delete;

    // Computes sampleFrames values into each output buffer.
    virtual void process(int /*sampleFrames*/) {}

    std::array<float*, kSlots> inputs{};
    std::array<float*, kSlots> outputs{};
};

// Every recursive one-pole state adds this tiny offset, with its sign flipped
// each sample, so that a decaying state never sinks into denormal numbers.
constexpr double kDenormalDither = 1e-5;

}  // namespace tarvik
