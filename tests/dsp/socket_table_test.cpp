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
        std::memset(&cords, 0, sizeof cords);
        for (int i = 0; i < kNumSockets; ++i) {
            const SocketDefinition& d = kSocketDefinitions[static_cast<std::size_t>(i)];
            if (d.direction == kSocketOutput) slots[i] = buffers[i];
            table.registerSocket(&slots[i], d.name, d.direction);
        }
    }
    std::vector<Connection> list() const {
        std::vector<Connection> out;
        for (int i = 0; i < cords.size(); ++i) out.push_back(cords.at(i));
        return out;
    }

    float buffers[kNumSockets][4] = {};
    float* slots[kNumSockets] = {};
    SocketTable table;
    ConnectionList cords;
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

struct CordCase {
    const char* name;
    int a, b;
    bool allowed;
    friend void PrintTo(const CordCase& row, std::ostream* out) { *out << row.name; }
};

class CordRules : public Sockets, public ::testing::WithParamInterface<CordCase> {};

TEST_P(CordRules, JoinOnlyAnOutputToAnInput) {
    const CordCase& c = GetParam();
    EXPECT_EQ(table.canConnect(cords, c.a, c.b), c.allowed);
    EXPECT_EQ(table.connect(cords, c.a, c.b), c.allowed);
    EXPECT_EQ(cords.size(), c.allowed ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CordRules,
    ::testing::Values(CordCase{"OutputToInput", socket::MgCvOutput, socket::VcfCv, true},
                      CordCase{"InputToOutput", socket::VcfCv, socket::MgCvOutput, true},
                      CordCase{"OutputToOutput", socket::MgCvOutput, socket::VcaEnvOut, false},
                      CordCase{"InputToInput", socket::VcfCv, socket::VcaCv, false},
                      CordCase{"ToItself", socket::VcfCv, socket::VcfCv, false},
                      CordCase{"UnknownSocket", socket::MgCvOutput, 99, false},
                      CordCase{"NegativeSocket", -3, socket::VcfCv, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(Sockets, ConnectStoresTheOutputFirstAndRefusesDuplicatesAndSecondCords) {
    EXPECT_TRUE(table.connect(cords, socket::VcfCv, socket::MgCvOutput));
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
    EXPECT_FALSE(table.connect(cords, socket::MgCvOutput, socket::VcfCv)) << "the same cord twice";
    EXPECT_FALSE(table.connect(cords, socket::VcfEnvOut, socket::VcfCv)) << "an input takes one cord";
    EXPECT_TRUE(table.connect(cords, socket::MgCvOutput, socket::VcaCv)) << "an output feeds many inputs";
    EXPECT_EQ(table.findSource(cords, socket::VcaCv), socket::MgCvOutput);
    EXPECT_EQ(table.findSource(cords, socket::Vco1Cv), -1);
    EXPECT_TRUE(table.isConnected(cords, socket::MgCvOutput));
    EXPECT_TRUE(table.isConnected(cords, socket::VcaCv));
    EXPECT_FALSE(table.isConnected(cords, socket::Vco1Cv));
}

TEST_F(Sockets, DisconnectKeepsTheOtherCordsInOrder) {
    table.connect(cords, socket::MgCvOutput, socket::Vco1Cv);
    table.connect(cords, socket::VcfEnvOut, socket::VcfCv);
    table.connect(cords, socket::ModWheel, socket::ShaperCv);
    table.disconnect(cords, socket::VcfCv, socket::VcfEnvOut);  // either order names the cord
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::Vco1Cv}, {socket::ModWheel, socket::ShaperCv}}));
    table.disconnect(cords, socket::VcfEnvOut, socket::VcfCv);  // not connected: nothing happens
    table.disconnect(cords, socket::ModWheel, socket::ShaperCv);
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::Vco1Cv}}));
}

TEST_F(Sockets, RoutingPointsInputsAtTheirOutputsBuffersAndClearsTheRestEachBlock) {
    table.connect(cords, socket::MgCvOutput, socket::VcfCv);
    table.connect(cords, socket::MgCvOutput, socket::Vco2PwCv);
    slots[socket::Vco1Cv] = buffers[0];  // stale from an earlier block
    table.applyConnections(cords);
    EXPECT_EQ(slots[socket::VcfCv], slots[socket::MgCvOutput]);
    EXPECT_EQ(slots[socket::Vco2PwCv], slots[socket::MgCvOutput]);
    EXPECT_EQ(slots[socket::Vco1Cv], nullptr);
    EXPECT_NE(slots[socket::MgCvOutput], nullptr) << "outputs keep their buffers";

    table.disconnect(cords, socket::MgCvOutput, socket::VcfCv);
    table.applyConnections(cords);
    EXPECT_EQ(slots[socket::VcfCv], nullptr) << "a removed cord is gone from the next block on";
}

TEST_F(Sockets, RoutingSkipsCordsThatDoNotJoinAnOutputToAnInput) {
    cords.set(0, {socket::VcfCv, socket::VcaCv});  // as a damaged patch could hold them
    cords.set(1, {500, socket::Vco1Cv});
    cords.set(2, {socket::MgCvOutput, -7});
    cords.setSize(3);
    table.applyConnections(cords);
    EXPECT_EQ(slots[socket::VcaCv], nullptr);
    EXPECT_EQ(slots[socket::Vco1Cv], nullptr);
}

TEST_F(Sockets, AFullListRefusesAnotherCord) {
    for (int i = 0; i < kMaxConnections; ++i) cords.set(i, {socket::MgCvOutput, 1000 + i});
    cords.setSize(kMaxConnections);
    EXPECT_FALSE(table.connect(cords, socket::MgCvOutput, socket::VcfCv));
    EXPECT_EQ(cords.size(), kMaxConnections);
}

}  // namespace
}  // namespace tarvik
