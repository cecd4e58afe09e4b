#include "instrument/controller_map.h"

#include "patch/parameters.h"

namespace tarvik {

namespace {
struct DefaultAssignment {
    int controller;
    int parameter;
};

constexpr DefaultAssignment kDefaults[] = {
    {7, param::MasterVolume},     {70, param::Vco2Mod},      {71, param::MasterTuning},
    {74, param::FilterCutoff},    {76, param::FilterResonance}, {77, param::EnvelopeMod},
    {78, param::VcfTracking},     {79, param::AccentAmount}, {80, param::Reserved},
    {91, param::VcoShaper},       {92, param::VcoBoost},
};
}  // namespace

void ControllerMap::setDefaults() {
    for (auto& e : entries_) e.store(kUnassigned, std::memory_order_relaxed);
    for (const auto& d : kDefaults)
        entries_[static_cast<std::size_t>(d.controller)].store(static_cast<std::int16_t>(d.parameter),
                                                               std::memory_order_relaxed);
}

void ControllerMap::unassignParameter(int parameter) {
    const int previous = controllerFor(parameter);
    if (previous != kUnassigned) entries_[static_cast<std::size_t>(previous)].store(kUnassigned, std::memory_order_relaxed);
}

void ControllerMap::assign(int controller, int parameter) {
    if (controller < 0 || controller >= kControllers) return;
    unassignParameter(parameter);
    entries_[static_cast<std::size_t>(controller)].store(static_cast<std::int16_t>(parameter), std::memory_order_relaxed);
}

int ControllerMap::parameterFor(int controller) const {
    if (controller < 0 || controller >= kControllers) return kUnassigned;
    return entries_[static_cast<std::size_t>(controller)].load(std::memory_order_relaxed);
}

int ControllerMap::controllerFor(int parameter) const {
    for (int c = 0; c < kControllers; ++c) {
        if (entries_[static_cast<std::size_t>(c)].load(std::memory_order_relaxed) == parameter) return c;
    }
    return kUnassigned;
}

}  // namespace tarvik
