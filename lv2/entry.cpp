// The library's only exported entry: the host asks it for the plug-in's
// descriptor and creates instances through it.
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "lv2/tarvik_lv2.h"

namespace tarvik::lv2 {
namespace {

// The largest block when the host does not say: the engine cuts longer ones
// itself, so this only sizes its buffers.
constexpr int kDefaultMaxBlockFrames = 4096;

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features) {
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    }
    return nullptr;
}

// The host's largest block from its options: maxBlockLength, else
// nominalBlockLength; a 32-bit integer either way.
int maxBlockFrames(const LV2_Options_Option* options, LV2_URID_Map& map) {
    if (!options) return kDefaultMaxBlockFrames;
    const LV2_URID intType = map.map(map.handle, LV2_ATOM__Int);
    const LV2_URID keys[] = {map.map(map.handle, LV2_BUF_SIZE__maxBlockLength),
                             map.map(map.handle, LV2_BUF_SIZE__nominalBlockLength)};
    for (LV2_URID key : keys) {
        for (const LV2_Options_Option* o = options; o->key != 0; ++o) {
            if (o->key != key || o->type != intType || o->size != sizeof(std::int32_t) || !o->value) continue;
            const std::int32_t frames = *static_cast<const std::int32_t*>(o->value);
            if (frames > 0) return frames;
        }
    }
    return kDefaultMaxBlockFrames;
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    auto* map = static_cast<LV2_URID_Map*>(const_cast<void*>(feature(features, LV2_URID__map)));
    if (!map || !isUsableSampleRate(rate)) return nullptr;
    const auto* options = static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options));
    try {
        return new TarvikLv2(*map, rate, maxBlockFrames(options, *map));
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle instance, std::uint32_t port, void* data) {
    static_cast<TarvikLv2*>(instance)->connectPort(port, data);
}

void run(LV2_Handle instance, std::uint32_t frames) { static_cast<TarvikLv2*>(instance)->run(frames); }

void cleanup(LV2_Handle instance) { delete static_cast<TarvikLv2*>(instance); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, nullptr,
                                    run,        nullptr,     cleanup,     extensionData};

}  // namespace
}  // namespace tarvik::lv2

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &tarvik::lv2::kDescriptor : nullptr;
}
