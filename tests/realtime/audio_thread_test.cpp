#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include "audio_thread_guard.h"
#include "vst/vst_editor.h"
#include "patch/parameters.h"
#include "tests/support/in_process_plugin.h"

namespace tarvik {
namespace {

using namespace vst;

constexpr int kBlock = 256;

// A host's event list for one block, built before the audio thread runs.
class EventList {
public:
    void set(const std::vector<VstMidiEvent>& events) {
        records_ = events;
        bytes_.assign(offsetof(VstEvents, events) + sizeof(VstEvent*) * std::max<std::size_t>(records_.size(), 2), 0);
        list()->numEvents = static_cast<VstInt32>(records_.size());
        for (std::size_t i = 0; i < records_.size(); ++i) {
            VstEvent* e = reinterpret_cast<VstEvent*>(&records_[i]);
            std::memcpy(bytes_.data() + offsetof(VstEvents, events) + i * sizeof(VstEvent*), &e, sizeof e);
        }
    }
    VstEvents* list() { return reinterpret_cast<VstEvents*>(bytes_.data()); }

private:
    std::vector<VstMidiEvent> records_;
    std::vector<unsigned char> bytes_;
};

// The shell with its editor, as the plug-in binary makes it.
AEffect* createTarvikWithEditor(audioMasterCallback audioMaster) {
    return (new TarvikWithEditor(audioMaster,
                                 [](ControlFace& control) { return std::make_unique<VstEditor>(control); }))
        ->getAeffect();
}

VstMidiEvent midi(int offset, int status, int data1, int data2) {
    return {kVstMidiType, sizeof(VstMidiEvent), offset, 0, 0, 0,
            {static_cast<char>(status), static_cast<char>(data1), static_cast<char>(data2), 0}, 0, 0, 0, 0};
}

TEST(AudioThread, ProcessEventsAndProcessReplacingNeverAllocateLockOrOpenFiles) {
    test::ScopedDataFolder folder;
    std::ofstream(folder.path() / "Config.ini") << "MidiOutput = 1\nMaxPolyphony = 32\n";
    host::HostSettings settings;
    settings.blockSize = kBlock;
    test::InProcessPlugin host(settings, createTarvikWithEditor);
    host.start();
    ControlFace& plugin = host.plugin().control();
    plugin.setState(state::SyncMode, 1);  // the host's time info is read every block

    // Every kind of message the engine handles, spread over the blocks.
    std::vector<EventList> blocks(64);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const int key = 30 + static_cast<int>(b % 40);
        blocks[b].set({midi(0, 0x90, key, 100), midi(17, 0xB0, 74, static_cast<int>(b)), midi(17, 0xE1, 3, 64),
                       midi(100, 0xB0, 1, 90), midi(101, 0xD0, 40, 0), midi(200, 0x80, key, 0),
                       midi(255, 0xB0, 123, 0), midi(40, 0xF0, 0, 0),
                       // Bank selects and program changes load patch files: they are only noted.
                       midi(50, 0xB0, 0, 1), midi(51, 0xC0, static_cast<int>(b), 0)});
    }
    std::vector<float> inL(kBlock * 3, 0.1f), inR(kBlock * 3, -0.1f), outL(kBlock * 3), outR(kBlock * 3);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
    AEffect* e = host.effect();

    test::audioThreadViolations() = {};
    // Pattern mode, mono and poly play, each with the delay and every voice
    // module at work; the last pass of each outgrows the announced block.
    plugin.setParameter(param::DelayAmount, 0.5f);
    plugin.setParameter(param::NoiseLevel, 0.3f);
    plugin.setParameter(param::VcoShaper, 0.4f);
    for (int mode = 0; mode < 3; ++mode) {
        plugin.setState(state::MidiMode, mode == 0 ? 0 : 1);
        plugin.setState(state::NoteMode, mode == 2 ? 1 : 0);
        for (int pass = 0; pass < 4; ++pass) {
            for (EventList& block : blocks) {
                test::AudioThreadGuard guard;
                e->dispatcher(e, effProcessEvents, 0, 0, block.list(), 0.0f);
                e->processReplacing(e, in, out, pass == 3 ? kBlock * 3 : kBlock);
            }
        }
    }
    const test::AudioThreadViolations seen = test::audioThreadViolations();
    EXPECT_EQ(seen.allocations, 0);
    EXPECT_EQ(seen.locks, 0);
    EXPECT_EQ(seen.fileOpens, 0);
    EXPECT_GT(host.automation().size(), 0u) << "the controller reached the host";
    EXPECT_GT(host.midiOutput().size(), 0u) << "All Notes Off reached the host";
}

// The counters are only worth something if they see what they look for.
TEST(AudioThread, GuardSeesAllocationsLocksAndFileOpens) {
    test::audioThreadViolations() = {};
    {
        test::AudioThreadGuard guard;
        delete new int(3);
        std::vector<float> grows(100);
        std::mutex m;
        m.lock();
        m.unlock();
        if (FILE* f = std::fopen("/dev/null", "r")) std::fclose(f);
    }
    EXPECT_GE(test::audioThreadViolations().allocations, 2);
    EXPECT_EQ(test::audioThreadViolations().locks, 1);
    EXPECT_EQ(test::audioThreadViolations().fileOpens, 1);
    test::audioThreadViolations() = {};
    delete new int(4);
    EXPECT_EQ(test::audioThreadViolations().total(), 0) << "nothing is counted outside a guard";
}

}  // namespace
}  // namespace tarvik
