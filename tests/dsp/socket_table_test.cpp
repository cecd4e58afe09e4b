#include "dsp/socket_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tarvik {
namespace {

// The full socket table over slots of its own, with a few buffers for outputs.
class Sockets : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&cables, 0, sizeof cables);
        for (int i = 0; i < kNumSockets; ++i) {
            const SocketDefinition& d = kSocketDefinitions[static_cast<std::size_t>(i)];
            if (d.direction == kSocketOutput) slots[i] = buffers[i];
            table.registerSocket(&slots[i], d.name, d.direction);
        }
    }
    std::vector<Connection> list() const {
        std::vector<Connection> out;
        for (int i = 0; i < cables.size(); ++i) out.push_back(cables.at(i));
        return out;
    }

    float buffers[kNumSockets][4] = {};
    float* slots[kNumSockets] = {};
    SocketTable table;
    CableList cables;
};

TEST_F(Sockets, TableHasTheFortyTwoSocketsInPatchFileOrder) {
    EXPECT_EQ(table.size(), 42);
    EXPECT_STREQ(table.socket(socket::MgAmountCv).name, "MG Amount CV");
    EXPECT_STREQ(table.socket(socket::ChannelPressure).name, "Channel Pressure");
    int inputs = 0;
    for (int i = 0; i < table.size(); ++i) inputs += table.isInput(i);
    EXPECT_EQ(inputs, 21);
    EXPECT_FALSE(table.isInput(-1));
    EXPECT_FALSE(table.isOutput(42));
}

struct CableCase {
    const char* name;
    int a, b;
    bool allowed;
    friend void PrintTo(const CableCase& row, std::ostream* out) { *out << row.name; }
};

class CableRules : public Sockets, public ::testing::WithParamInterface<CableCase> {};

TEST_P(CableRules, JoinOnlyAnOutputToAnInput) {
    const CableCase& c = GetParam();
    EXPECT_EQ(table.canConnect(cables, c.a, c.b), c.allowed);
    EXPECT_EQ(table.connect(cables, c.a, c.b), c.allowed);
    EXPECT_EQ(cables.size(), c.allowed ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CableRules,
    ::testing::Values(CableCase{"OutputToInput", socket::MgCvOutput, socket::VcfCv, true},
                      CableCase{"InputToOutput", socket::VcfCv, socket::MgCvOutput, true},
                      CableCase{"OutputToOutput", socket::MgCvOutput, socket::VcaEnvOut, false},
                      CableCase{"InputToInput", socket::VcfCv, socket::VcaCv, false},
                      CableCase{"ToItself", socket::VcfCv, socket::VcfCv, false},
                      CableCase{"UnknownSocket", socket::MgCvOutput, 99, false},
                      CableCase{"NegativeSocket", -3, socket::VcfCv, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Sockets, ConnectStoresTheOutputFirstAndRefusesDuplicatesAndSecondCables) {
    EXPECT_TRUE(table.connect(cables, socket::VcfCv, socket::MgCvOutput));
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
    EXPECT_FALSE(table.connect(cables, socket::MgCvOutput, socket::VcfCv)) << "the same cable twice";
    EXPECT_FALSE(table.connect(cables, socket::VcfEnvOut, socket::VcfCv)) << "an input takes one cable";
    EXPECT_TRUE(table.connect(cables, socket::MgCvOutput, socket::VcaCv)) << "an output feeds many inputs";
    EXPECT_EQ(table.findSource(cables, socket::VcaCv), socket::MgCvOutput);
    EXPECT_EQ(table.findSource(cables, socket::Vco1Cv), -1);
    EXPECT_TRUE(table.isConnected(cables, socket::MgCvOutput));
    EXPECT_TRUE(table.isConnected(cables, socket::VcaCv));
    EXPECT_FALSE(table.isConnected(cables, socket::Vco1Cv));
}

TEST_F(Sockets, DisconnectKeepsTheOtherCablesInOrder) {
    table.connect(cables, socket::MgCvOutput, socket::Vco1Cv);
    table.connect(cables, socket::VcfEnvOut, socket::VcfCv);
    table.connect(cables, socket::ModWheel, socket::ShaperCv);
    table.disconnect(cables, socket::VcfCv, socket::VcfEnvOut);  // either order names the cable
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::Vco1Cv}, {socket::ModWheel, socket::ShaperCv}}));
    table.disconnect(cables, socket::VcfEnvOut, socket::VcfCv);  // not connected: nothing happens
    table.disconnect(cables, socket::ModWheel, socket::ShaperCv);
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::Vco1Cv}}));
}

TEST_F(Sockets, RoutingPointsInputsAtTheirOutputsBuffersAndClearsTheRestEachBlock) {
    table.connect(cables, socket::MgCvOutput, socket::VcfCv);
    table.connect(cables, socket::MgCvOutput, socket::Vco2PwCv);
    slots[socket::Vco1Cv] = buffers[0];  // stale from an earlier block
    table.applyConnections(cables);
    EXPECT_EQ(slots[socket::VcfCv], slots[socket::MgCvOutput]);
    EXPECT_EQ(slots[socket::Vco2PwCv], slots[socket::MgCvOutput]);
    EXPECT_EQ(slots[socket::Vco1Cv], nullptr);
    EXPECT_NE(slots[socket::MgCvOutput], nullptr) << "outputs keep their buffers";

    table.disconnect(cables, socket::MgCvOutput, socket::VcfCv);
    table.applyConnections(cables);
    EXPECT_EQ(slots[socket::VcfCv], nullptr) << "a removed cable is gone from the next block on";
}

TEST_F(Sockets, RoutingSkipsCablesThatDoNotJoinAnOutputToAnInput) {
    cables.set(0, {socket::VcfCv, socket::VcaCv});  // as a damaged patch could hold them
    cables.set(1, {500, socket::Vco1Cv});
    cables.set(2, {socket::MgCvOutput, -7});
    cables.setSize(3);
    table.applyConnections(cables);
    EXPECT_EQ(slots[socket::VcaCv], nullptr);
    EXPECT_EQ(slots[socket::Vco1Cv], nullptr);
}

TEST_F(Sockets, AFullListRefusesAnotherCable) {
    for (int i = 0; i < kMaxCables; ++i) cables.set(i, {socket::MgCvOutput, 1000 + i});
    cables.setSize(kMaxCables);
    EXPECT_FALSE(table.connect(cables, socket::MgCvOutput, socket::VcfCv));
    EXPECT_EQ(cables.size(), kMaxCables);
}

}  // namespace
}  // namespace tarvik
