// The editor's thread changes cables while the audio thread renders.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "instrument/cable_editing.h"

namespace tarvik {
namespace {

// The editor takes cables off and puts them back while the audio thread
// renders. After every block, each input socket must be fed by nothing or
// by the output of a cable the editor made: one end of one cable joined to
// the other end of another would be a cable nobody made.
TEST(CableRouting, NoBlockRoutesACableThatWasNeverMade) {
    Engine engine(nullptr);  // no host: nothing goes out
    EditHistory history;
    CableEditing cables(engine.control(), history);
    const std::vector<std::pair<int, int>> made = {
        {socket::MgCvOutput, socket::Vco1Cv},        {socket::SeqGateOut, socket::Vco2Cv},
        {socket::SeqNoteOut, socket::VcoBalanceCv},  {socket::SeqAccentOut, socket::NoiseAuxBalanceCv},
        {socket::MidiNoteCv, socket::ShaperCv},      {socket::MidiVelocityCv, socket::AccentTrigger},
        {socket::VcaEnvOut, socket::VcaEnvAmount},   {socket::VcfEnvOut, socket::VcfEnvAmount},
        {socket::EnvelopeFollower, socket::MgFreqCv}, {socket::ModWheel, socket::MgAmountCv},
        {socket::ChannelPressure, socket::VcfCv},    {socket::Inverter1Output, socket::VcaCv},
    };
    for (const auto& [output, input] : made) ASSERT_TRUE(cables.connect(output, input));
    const std::set<std::pair<int, int>> allowed(made.begin(), made.end());

    std::atomic<bool> done{false};
    std::thread editor([&] {
        std::mt19937 random(1207);
        while (!done.load()) {
            // An early cable taken off moves every later one down the list.
            const auto& [output, input] = made[random() % 3];
            cables.disconnect(output, input);
            cables.connect(output, input);
        }
    });

    EngineAudio& audio = engine.audio();
    const SocketTable& sockets = audio.sockets();
    float left[16], right[16];
    float* out[2] = {left, right};
    int strangers = 0;
    for (int block = 0; block < 10000 && strangers == 0; ++block) {
        audio.processBlock(nullptr, out, 16, true);
        for (int input = 0; input < sockets.size(); ++input) {
            if (!sockets.isInput(input) || *sockets.socket(input).slot == nullptr) continue;
            int source = -1;
            for (int output = 0; output < sockets.size() && source < 0; ++output)
                if (sockets.isOutput(output) && *sockets.socket(output).slot == *sockets.socket(input).slot) source = output;
            if (!allowed.contains({source, input})) ++strangers;
        }
    }
    done = true;
    editor.join();
    EXPECT_EQ(strangers, 0) << "a block routed a cable that was never made";
}

}  // namespace
}  // namespace tarvik
