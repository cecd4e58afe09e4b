// The one writer of cables: each change a whole new list, or none.
#include "instrument/cable_editing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace tarvik {
namespace {

class CableEditingTest : public ::testing::Test {
protected:
    std::vector<Connection> list() {
        const CableList l = cables.current();
        std::vector<Connection> pairs;
        for (int i = 0; i < l.size(); ++i) pairs.push_back(l.at(i));
        return pairs;
    }

    Engine engine{nullptr};  // no host: nothing goes out
    EditHistory history;
    CableEditing cables{engine.control(), history};
};

TEST_F(CableEditingTest, EachChangeReplacesTheListAsAWhole) {
    const std::uint32_t before = engine.control().patch().cablesVersion();
    ASSERT_TRUE(cables.connect(socket::VcfCv, socket::MgCvOutput));
    ASSERT_TRUE(cables.connect(socket::MgCvOutput, socket::VcaCv));
    ASSERT_TRUE(cables.connect(socket::ModWheel, socket::ShaperCv));
    EXPECT_EQ(list(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv},
                                               {socket::MgCvOutput, socket::VcaCv},
                                               {socket::ModWheel, socket::ShaperCv}}));
    EXPECT_EQ(engine.control().patch().cablesVersion(), before + 6) << "three publications";

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
    friend void PrintTo(const RefusedCase& row, std::ostream* out) { *out << row.name; }
};

class RefusedCableChanges : public CableEditingTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedCableChanges, LeaveTheListAndItsVersion) {
    ASSERT_TRUE(cables.connect(socket::MgCvOutput, socket::VcfCv));
    const std::uint32_t before = engine.control().patch().cablesVersion();
    GetParam().change(cables);
    EXPECT_EQ(engine.control().patch().cablesVersion(), before);
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
        RefusedCase{"PickingUpACableNeverMade", [](CableEditing& c) { c.pickUp(socket::ModWheel, socket::VcaCv); }},
        RefusedCase{"ClearingAFreeSocket", [](CableEditing& c) { c.clearSocket(socket::Vco2Cv); }}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tarvik
