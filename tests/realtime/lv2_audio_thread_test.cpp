#include <gtest/gtest.h>

#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "audio_thread_guard.h"
#include "lv2/tarvik_lv2.h"
#include "patch/parameters.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {
namespace {

constexpr int kBlock = 256;

// The host's URI map; only instantiation calls it.
std::vector<std::string>& mappedUris() {
    static std::vector<std::string> uris;
    return uris;
}
LV2_URID mapUri(LV2_URID_Map_Handle, const char* uri) {
    std::vector<std::string>& uris = mappedUris();
    for (std::size_t i = 0; i < uris.size(); ++i) {
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    }
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

TEST(AudioThread, Lv2RunNeverAllocatesLocksOrOpensFiles) {
    test::ScopedDataFolder folder;
    std::ofstream(folder.path() / "Config.ini") << "MaxPolyphony = 32\nMidiMode = 1\nSyncMode = 1\n";
    LV2_URID_Map map{nullptr, mapUri};
    lv2::TarvikLv2 plugin(map, 44100.0, kBlock);

    std::array<float, kNumParameters> controls{};
    for (int i = 0; i < kNumParameters; ++i) {
        controls[static_cast<std::size_t>(i)] = kParameterTable[static_cast<std::size_t>(i)].defaultValue;
        plugin.connectPort(lv2::kFirstParameterPort + static_cast<std::uint32_t>(i),
                           &controls[static_cast<std::size_t>(i)]);
    }
    std::vector<float> aux(kBlock * 3, 0.1f), left(kBlock * 3), right(kBlock * 3);
    plugin.connectPort(lv2::kAuxPort, aux.data());
    plugin.connectPort(lv2::kLeftPort, left.data());
    plugin.connectPort(lv2::kRightPort, right.data());

    // Each block's sequence, written before the audio thread runs: notes,
    // controllers, pitch bend, a system-exclusive start, and the host's
    // position with a tempo.
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    const LV2_URID midiEvent = map.map(nullptr, LV2_MIDI__MidiEvent);
    const LV2_URID position = map.map(nullptr, LV2_TIME__Position);
    const LV2_URID beatsPerMinute = map.map(nullptr, LV2_TIME__beatsPerMinute);
    std::vector<std::vector<std::uint64_t>> blocks(64, std::vector<std::uint64_t>(512));
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(blocks[b].data()),
                                  blocks[b].size() * sizeof(std::uint64_t));
        LV2_Atom_Forge_Frame sequence, object;
        lv2_atom_forge_sequence_head(&forge, &sequence, 0);
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_object(&forge, &object, 0, position);
        lv2_atom_forge_key(&forge, beatsPerMinute);
        lv2_atom_forge_float(&forge, 100.0f + static_cast<float>(b));
        lv2_atom_forge_pop(&forge, &object);
        const auto key = static_cast<std::uint8_t>(30 + b % 40);
        const std::uint8_t messages[][3] = {{0x90, key, 100}, {0xB0, 74, static_cast<std::uint8_t>(b)},
                                            {0xE0, 3, 64},    {0xF0, 0, 0},
                                            {0x80, key, 0},   {0xB0, 123, 0}};
        std::int64_t frame = 0;
        for (const auto& message : messages) {
            lv2_atom_forge_frame_time(&forge, frame);
            lv2_atom_forge_atom(&forge, 3, midiEvent);
            lv2_atom_forge_write(&forge, message, 3);
            frame += 40;
        }
        lv2_atom_forge_pop(&forge, &sequence);
    }

    test::audioThreadViolations() = {};
    for (int pass = 0; pass < 4; ++pass) {
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            // The host moves controls between blocks.
            controls[param::FilterCutoff] = static_cast<float>(b) / 64.0f;
            controls[param::DelayAmount] = pass % 2 == 0 ? 0.5f : 0.2f;
            plugin.connectPort(lv2::kEventsPort, blocks[b].data());
            test::AudioThreadGuard guard;
            plugin.run(pass == 3 ? kBlock * 3 : kBlock);
        }
    }
    const test::AudioThreadViolations seen = test::audioThreadViolations();
    EXPECT_EQ(seen.allocations, 0);
    EXPECT_EQ(seen.locks, 0);
    EXPECT_EQ(seen.fileOpens, 0);
}

}  // namespace
}  // namespace tarvik
