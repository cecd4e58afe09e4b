// The LV2 plug-in is the same instrument as the VST 2.4 plug-in: its bundle
// describes the parameters as the table has them, and the same notes, tempo
// and control moves played through it render, sample for sample, what the
// VST binary renders. Both binaries are the built ones, loaded as hosts load
// them: the bundle through lilv, the VST binary through the test host.
#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "lv2/ports.h"
#include "patch/parameters.h"
#include "patch/patch_file.h"
#include "tests/support/scoped_data_folder.h"
#include "tools/host/hosted_plugin.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;

constexpr double kRate = 44100.0;

// --- The scenes both plug-ins play ------------------------------------------

struct TimedEvent {
    long frame;
    host::MidiMessage message;
};

// A parameter the host moves before the block that holds `frame`.
struct ControlMove {
    long frame;
    int parameter;
    float value;
};

struct Scene {
    const char* name;
    int blockSize;
    int midiMode;      // 0: keys select patterns, 1: keys play
    int noteMode;      // 0: mono with legato, 1: poly
    double hostTempo;  // > 0: host sync on, the host at this tempo
    std::vector<TimedEvent> events;
    std::vector<ControlMove> moves;
    long frames;
    friend void PrintTo(const Scene& row, std::ostream* out) { *out << row.name; }
};

host::MidiMessage on(int key, int velocity) {
    return {0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity)};
}
host::MidiMessage off(int key) { return {0x80, static_cast<std::uint8_t>(key), 0}; }

const Scene kScenes[] = {
    {"OneNote_Block64", 64, 1, 0, 0.0, {{1001, on(45, 100)}, {15007, off(45)}}, {}, 30000},
    {"LegatoLine_Block333",
     333,
     1,
     0,
     0.0,
     {{37, on(36, 90)}, {5001, on(43, 110)}, {5333, off(36)}, {9999, on(48, 127)}, {10001, off(43)}, {16000, off(48)}},
     {},
     26000},
    {"PolyChord_Block333",
     333,
     1,
     1,
     0.0,
     {{333, on(48, 100)}, {333, on(52, 80)}, {334, on(55, 60)}, {12001, off(52)}, {15000, off(48)}, {15000, off(55)}},
     {},
     24000},
    // Block edges: the first and last frame of a block, a pitch bend and the
    // modulation wheel between the notes.
    {"OddOffsets_Block64",
     64,
     1,
     0,
     0.0,
     {{63, on(40, 100)},
      {64, {0xE0, 0x00, 0x50}},
      {2047, {0xB0, 1, 90}},
      {4095, off(40)},
      {4097, on(47, 70)},
      {9001, off(47)}},
     {},
     16000},
    // Key 0 runs pattern 0 while held, in time with the host.
    {"HostTempoPattern_Block333", 333, 0, 0, 140.0, {{5, on(0, 100)}, {40000, off(0)}}, {}, 48000},
    {"ControlMoves_Block64",
     64,
     1,
     0,
     0.0,
     {{100, on(45, 100)}, {20000, off(45)}},
     {{3000, param::FilterCutoff, 0.2f}, {6400, param::FilterResonance, 0.8f}, {9000, param::FilterCutoff, 0.9f}},
     26000},
};

// The host's controls for every scene: a sound that moves from note to note
// (resonance, envelope, glide, the delay, both oscillators); the others stay
// at their defaults. The noise stays off: each instance seeds its own.
struct ControlValue {
    int parameter;
    float value;
};
const ControlValue kSceneControls[] = {
    {param::FilterResonance, 0.6f}, {param::EnvelopeMod, 0.5f}, {param::GlideTime, 0.3f},     {param::Vco2Level, 0.5f},
    {param::Vco2FineTune, 0.53f},   {param::DelayAmount, 0.3f}, {param::DelayFeedback, 0.4f}, {param::VcaSustain, 0.4f},
};

// What an LV2 host without saved state holds in the control ports, and so
// what the VST host sets too: the defaults with the scene's controls.
std::vector<float> startingControls() {
    std::vector<float> values(kNumParameters);
    for (int i = 0; i < kNumParameters; ++i)
        values[static_cast<std::size_t>(i)] = kParameterTable[static_cast<std::size_t>(i)].defaultValue;
    for (const ControlValue& c : kSceneControls) values[static_cast<std::size_t>(c.parameter)] = c.value;
    return values;
}

// The start-up patch brings what no control port reaches: the modes and a
// pattern for the sequencer.
TarvikPatch scenePatch(const Scene& scene) {
    TarvikPatch p;
    p.setState(state::MidiMode, scene.midiMode);
    p.setState(state::NoteMode, scene.noteMode);
    p.setState(state::SyncMode, scene.hostTempo > 0.0 ? 1 : 0);
    Pattern& pattern = p.patterns[0];
    pattern.length = 16;
    for (int s = 0; s < 16; ++s) {
        Step& step = pattern.steps[static_cast<std::size_t>(s)];
        step.note = static_cast<std::uint8_t>((s * 5) % 13);
        step.flags = static_cast<std::uint8_t>(s % 4 == 3 ? 0 : step::kGate);
        if (s % 3 == 1) step.flags |= step::kAccent;
        if (s % 5 == 2) step.flags |= step::kSlide;
    }
    return p;
}

// A fresh data folder whose start-up patch is the scene's: each plug-in
// starts in one of its own, so that nothing the first leaves behind reaches
// the second.
class SceneFolder {
public:
    explicit SceneFolder(const Scene& scene) {
        fs::create_directories(folder_.path() / "Tarvik Patches");
        EXPECT_TRUE(writePatchFile(scenePatch(scene), (folder_.path() / "Tarvik Patches" / "Scene.tvkp").string()));
        std::ofstream(folder_.path() / "StartupPatch.ini") << "\"Scene.tvkp\"";
    }

private:
    test::ScopedDataFolder folder_;
};

struct Stereo {
    std::vector<float> left, right;
};

// --- The VST binary --------------------------------------------------------

Stereo renderVst(const Scene& scene) {
    SceneFolder folder(scene);
    host::HostSettings settings{kRate, scene.blockSize};
    if (scene.hostTempo > 0.0) settings.tempo = scene.hostTempo;
    host::HostedPlugin plugin{settings};
    std::string error;
    EXPECT_TRUE(plugin.load(TARVIK_PLUGIN_PATH, error)) << error;
    if (!plugin.effect()) return {};
    plugin.start();
    const std::vector<float> controls = startingControls();
    for (int i = 0; i < kNumParameters; ++i)
        plugin.effect()->setParameter(plugin.effect(), i, controls[static_cast<std::size_t>(i)]);

    Stereo out{std::vector<float>(static_cast<std::size_t>(scene.frames)),
               std::vector<float>(static_cast<std::size_t>(scene.frames))};
    std::size_t nextEvent = 0, nextMove = 0;
    for (long done = 0; done < scene.frames; done += scene.blockSize) {
        const int frames = static_cast<int>(std::min<long>(scene.blockSize, scene.frames - done));
        for (; nextMove < scene.moves.size() && scene.moves[nextMove].frame < done + frames; ++nextMove)
            plugin.effect()->setParameter(plugin.effect(), scene.moves[nextMove].parameter,
                                          scene.moves[nextMove].value);
        std::vector<host::TimedMidi> block;
        for (; nextEvent < scene.events.size() && scene.events[nextEvent].frame < done + frames; ++nextEvent)
            block.push_back({static_cast<int>(scene.events[nextEvent].frame - done), scene.events[nextEvent].message});
        plugin.sendEvents(block);
        float* outputs[2] = {out.left.data() + done, out.right.data() + done};
        plugin.process(nullptr, outputs, frames);
    }
    plugin.close();
    return out;
}

// --- The LV2 bundle ---------------------------------------------------------

// The host's URI map: a URID is the URI's place in the list, from 1.
class UridMap {
public:
    UridMap() : map_{this, &UridMap::mapUri} {}
    LV2_URID_Map* map() { return &map_; }
    LV2_URID operator()(const char* uri) { return mapUri(this, uri); }

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
        auto& uris = static_cast<UridMap*>(handle)->uris_;
        const auto found = std::find(uris.begin(), uris.end(), uri);
        if (found != uris.end()) return static_cast<LV2_URID>(found - uris.begin() + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }
    std::vector<std::string> uris_;
    LV2_URID_Map map_;
};

struct WorldDeleter {
    void operator()(LilvWorld* world) const { lilv_world_free(world); }
};
using World = std::unique_ptr<LilvWorld, WorldDeleter>;

struct NodeDeleter {
    void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using Node = std::unique_ptr<LilvNode, NodeDeleter>;

// A world that knows the LV2 specifications and the bundle in the build tree.
World worldWithBundle() {
    World world(lilv_world_new());
    lilv_world_load_specifications(world.get());
    lilv_world_load_plugin_classes(world.get());
    const Node bundle(lilv_new_file_uri(world.get(), nullptr, TARVIK_LV2_BUNDLE));
    lilv_world_load_bundle(world.get(), bundle.get());
    return world;
}

const LilvPlugin* tarvikIn(LilvWorld* world) {
    const Node uri(lilv_new_uri(world, lv2::kPluginUri));
    return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri.get());
}

// Room for one block's atom sequence, 64-bit aligned as atoms are.
constexpr std::size_t kSequenceWords = 1024;

Stereo renderLv2(const Scene& scene) {
    SceneFolder folder(scene);
    const World world = worldWithBundle();
    const LilvPlugin* plugin = tarvikIn(world.get());
    EXPECT_NE(plugin, nullptr) << "the bundle is not found at " << TARVIK_LV2_BUNDLE;
    if (!plugin) return {};

    UridMap urids;
    const LV2_URID intType = urids(LV2_ATOM__Int);
    const std::int32_t maxBlock = scene.blockSize;
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, urids(LV2_BUF_SIZE__maxBlockLength), sizeof maxBlock, intType, &maxBlock},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature mapFeature{LV2_URID__map, urids.map()};
    const LV2_Feature optionsFeature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature* features[] = {&mapFeature, &optionsFeature, nullptr};
    LilvInstance* instance = lilv_plugin_instantiate(plugin, kRate, features);
    EXPECT_NE(instance, nullptr);
    if (!instance) return {};

    std::vector<float> controls = startingControls();
    for (int i = 0; i < kNumParameters; ++i)
        lilv_instance_connect_port(instance, lv2::kFirstParameterPort + static_cast<std::uint32_t>(i),
                                   &controls[static_cast<std::size_t>(i)]);
    std::vector<std::uint64_t> sequence(kSequenceWords);
    std::vector<float> aux(static_cast<std::size_t>(scene.blockSize));
    Stereo out{std::vector<float>(static_cast<std::size_t>(scene.frames)),
               std::vector<float>(static_cast<std::size_t>(scene.frames))};
    lilv_instance_connect_port(instance, lv2::kEventsPort, sequence.data());
    lilv_instance_connect_port(instance, lv2::kAuxPort, aux.data());
    lilv_instance_activate(instance);

    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, urids.map());
    const LV2_URID midiEvent = urids(LV2_MIDI__MidiEvent);
    const LV2_URID position = urids(LV2_TIME__Position);
    const LV2_URID beatsPerMinute = urids(LV2_TIME__beatsPerMinute);
    const LV2_URID speed = urids(LV2_TIME__speed);
    std::size_t nextEvent = 0, nextMove = 0;
    for (long done = 0; done < scene.frames; done += scene.blockSize) {
        const int frames = static_cast<int>(std::min<long>(scene.blockSize, scene.frames - done));
        for (; nextMove < scene.moves.size() && scene.moves[nextMove].frame < done + frames; ++nextMove)
            controls[static_cast<std::size_t>(scene.moves[nextMove].parameter)] = scene.moves[nextMove].value;

        lv2_atom_forge_set_buffer(&forge, reinterpret_cast<std::uint8_t*>(sequence.data()),
                                  sequence.size() * sizeof(std::uint64_t));
        LV2_Atom_Forge_Frame sequenceFrame;
        lv2_atom_forge_sequence_head(&forge, &sequenceFrame, 0);
        // As hosts do, the position comes once, with the first block.
        if (scene.hostTempo > 0.0 && done == 0) {
            LV2_Atom_Forge_Frame objectFrame;
            lv2_atom_forge_frame_time(&forge, 0);
            lv2_atom_forge_object(&forge, &objectFrame, 0, position);
            lv2_atom_forge_key(&forge, speed);
            lv2_atom_forge_float(&forge, 1.0f);
            lv2_atom_forge_key(&forge, beatsPerMinute);
            lv2_atom_forge_float(&forge, static_cast<float>(scene.hostTempo));
            lv2_atom_forge_pop(&forge, &objectFrame);
        }
        for (; nextEvent < scene.events.size() && scene.events[nextEvent].frame < done + frames; ++nextEvent) {
            const host::MidiMessage& m = scene.events[nextEvent].message;
            const std::uint8_t bytes[3] = {m.status, m.data1, m.data2};
            lv2_atom_forge_frame_time(&forge, scene.events[nextEvent].frame - done);
            lv2_atom_forge_atom(&forge, sizeof bytes, midiEvent);
            lv2_atom_forge_write(&forge, bytes, sizeof bytes);
        }
        lv2_atom_forge_pop(&forge, &sequenceFrame);

        lilv_instance_connect_port(instance, lv2::kLeftPort, out.left.data() + done);
        lilv_instance_connect_port(instance, lv2::kRightPort, out.right.data() + done);
        lilv_instance_run(instance, static_cast<std::uint32_t>(frames));
    }
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
    return out;
}

// --- The cases ----------------------------------------------------------------

// The two binaries run the same code on the same events: their outputs are
// bit-identical, so the tolerance is zero.
constexpr float kTolerance = 0.0f;

void expectSame(const std::vector<float>& vst, const std::vector<float>& lv2, const char* channel) {
    ASSERT_EQ(vst.size(), lv2.size());
    std::size_t first = vst.size(), worst = 0;
    for (std::size_t i = 0; i < vst.size(); ++i) {
        const float difference = std::fabs(vst[i] - lv2[i]);
        if (difference > kTolerance && first == vst.size()) first = i;
        if (difference > std::fabs(vst[worst] - lv2[worst])) worst = i;
    }
    EXPECT_NEAR(lv2[worst], vst[worst], kTolerance)
        << channel << ": first difference at frame " << first << ", largest at frame " << worst;
}

class Lv2Rendering : public ::testing::TestWithParam<Scene> {};

TEST_P(Lv2Rendering, RendersWhatTheVstBinaryRenders) {
    const Scene& scene = GetParam();
    const Stereo vst = renderVst(scene);
    const Stereo lv2 = renderLv2(scene);
    ASSERT_FALSE(vst.left.empty());
    ASSERT_FALSE(lv2.left.empty());
    float peak = 0.0f;
    for (float x : vst.left) peak = std::max(peak, std::fabs(x));
    ASSERT_GT(peak, 0.05f) << "the scene must sound";
    expectSame(vst.left, lv2.left, "left");
    expectSame(vst.right, lv2.right, "right");
}

INSTANTIATE_TEST_SUITE_P(Scenes, Lv2Rendering, ::testing::ValuesIn(kScenes),
                         [](const auto& row) { return std::string(row.param.name); });

// What a host reads of the ports: the parameters' names, ranges and defaults
// in index order, then the events, AUX and the two outputs.
TEST(Lv2Description, PortsAreTheParameterTableFollowedByEventsAndAudio) {
    const World world = worldWithBundle();
    const LilvPlugin* plugin = tarvikIn(world.get());
    ASSERT_NE(plugin, nullptr);
    ASSERT_EQ(lilv_plugin_get_num_ports(plugin), static_cast<std::uint32_t>(lv2::kPortCount));
    std::vector<float> minimum(lv2::kPortCount), maximum(lv2::kPortCount), defaults(lv2::kPortCount);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    for (int i = 0; i < kNumParameters; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, static_cast<std::uint32_t>(i));
        const Node name(lilv_port_get_name(plugin, port));
        EXPECT_STREQ(lilv_node_as_string(name.get()), kParameterTable[index].name) << "port " << i;
        EXPECT_EQ(defaults[index], kParameterTable[index].defaultValue) << kParameterTable[index].name;
        EXPECT_EQ(minimum[index], 0.0f);
        EXPECT_EQ(maximum[index], 1.0f);
    }
    const Node atomPort(lilv_new_uri(world.get(), LV2_ATOM__AtomPort));
    const Node audioPort(lilv_new_uri(world.get(), LV2_CORE__AudioPort));
    const Node input(lilv_new_uri(world.get(), LV2_CORE__InputPort));
    const Node output(lilv_new_uri(world.get(), LV2_CORE__OutputPort));
    const Node midi(lilv_new_uri(world.get(), LV2_MIDI__MidiEvent));
    const Node timePosition(lilv_new_uri(world.get(), LV2_TIME__Position));
    const LilvPort* events = lilv_plugin_get_port_by_index(plugin, lv2::kEventsPort);
    EXPECT_TRUE(lilv_port_is_a(plugin, events, atomPort.get()) && lilv_port_is_a(plugin, events, input.get()));
    EXPECT_TRUE(lilv_port_supports_event(plugin, events, midi.get()));
    EXPECT_TRUE(lilv_port_supports_event(plugin, events, timePosition.get()));
    const LilvPort* aux = lilv_plugin_get_port_by_index(plugin, lv2::kAuxPort);
    EXPECT_TRUE(lilv_port_is_a(plugin, aux, audioPort.get()) && lilv_port_is_a(plugin, aux, input.get()));
    for (const std::uint32_t index : {std::uint32_t{lv2::kLeftPort}, std::uint32_t{lv2::kRightPort}}) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
        EXPECT_TRUE(lilv_port_is_a(plugin, port, audioPort.get()) && lilv_port_is_a(plugin, port, output.get()));
    }
}

}  // namespace
}  // namespace tarvik
