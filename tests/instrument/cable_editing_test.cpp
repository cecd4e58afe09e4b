// The one writer of cables, alone and while blocks render.
#include "instrument/cable_editing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace tarvik {
namespace {

class SilentHost : public EngineHost {
public:
    bool sendMidiOut(std::uint8_t, std::uint8_t) override { return true; }
    void controllerChange(int, int) override {}
};

class CableEditingTest : public ::testing::Test {
protected:
    std::vector<Connection> list() {
        const ConnectionList l = cables.connections();
        std::vector<Connection> pairs;
        for (int i = 0; i < l.size(); ++i) pairs.push_back(l.at(i));
        return pairs;
    }

    SilentHost host;
    Engine engine{&host};
    CableEditing cables{engine.control()};
};

TEST_F(CableEditingTest, EachChangeReplacesTheListAsAWhole) {
    const std::uint32_t before = engine.control().patch().connectionsVersion();
    ASSERT_TRUE(cables.connect(socket::VcfCv, socket::MgCvOutput));
    ASSERT_TRUE(cables.connect(socket::MgCvOutput, socket::VcaCv));
    ASSERT_TRUE(cables.connect(socket::ModWheel, socket::ShaperCv));
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv},
                                               {socket::MgCvOutput, socket::VcaCv},
                                               {socket::ModWheel, socket::ShaperCv}}));
    EXPECT_EQ(engine.control().patch().connectionsVersion(), before + 6) << "three publications";

    cables.disconnect(socket::VcfCv, socket::MgCvOutput);
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcaCv}, {socket::ModWheel, socket::ShaperCv}}));
    cables.clearSocket(socket::MgCvOutput);
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::ModWheel, socket::ShaperCv}}));
}

// What the rules refuse, and what changes nothing, publishes nothing: the
// audio thread has no new list to copy.
struct RefusedCase {
    const char* name;
    void (*change)(CableEditing& cables);
};

class RefusedCableChanges : public CableEditingTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedCableChanges, LeaveTheListAndItsVersion) {
    ASSERT_TRUE(cables.connect(socket::MgCvOutput, socket::VcfCv));
    const std::uint32_t before = engine.control().patch().connectionsVersion();
    GetParam().change(cables);
    EXPECT_EQ(engine.control().patch().connectionsVersion(), before);
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedCableChanges,
    ::testing::Values(
        RefusedCase{"OutputToOutput", [](CableEditing& c) { EXPECT_FALSE(c.connect(socket::MgCvOutput, socket::ModWheel)); }},
        RefusedCase{"ASecondCableIntoAnInput",
                    [](CableEditing& c) { EXPECT_FALSE(c.connect(socket::ModWheel, socket::VcfCv)); }},
        RefusedCase{"UnknownSocket", [](CableEditing& c) { EXPECT_FALSE(c.connect(socket::MgCvOutput, 99)); }},
        RefusedCase{"RemovingACableNeverMade", [](CableEditing& c) { c.disconnect(socket::ModWheel, socket::VcaCv); }},
        RefusedCase{"ClearingAFreeSocket", [](CableEditing& c) { c.clearSocket(socket::Vco2Cv); }}),
    [](const auto& row) { return std::string(row.param.name); });

// The editor takes cables off and puts them back while the audio thread
// renders. After every block, each input socket must be fed by nothing or
// by the output of a cable the editor made: one end of one cable joined to
// the other end of another would be a cable nobody made.
TEST(CableRouting, NoBlockRoutesACableThatWasNeverMade) {
    SilentHost host;
    Engine engine(&host);
    CableEditing cables(engine.control());
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
