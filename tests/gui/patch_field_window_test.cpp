// Patching with cables on the panel of the built binary, as a user does it:
// dragging between sockets, taking a cable off, shift-clicking, the socket
// menu. The cables are read back from the patch the host would save,
// and the sound from the plug-in's audio.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "dsp/socket_table.h"
#include "gui/skin_tags.h"
#include "patch/parameters.h"
#include "tests/gui/editor_fixture.h"
#include "tests/support/signal_analysis.h"

namespace tarvik {
namespace {


class PatchCables : public test::EditorWindow {
protected:
    // A held synthesizer note with a running LFO that nothing is patched to.
    void SetUp() override {
        test::EditorWindow::SetUp();
        if (HasFatalFailure()) return;
        TarvikPatch p;
        p.setState(state::MidiMode, 1);
        p.setParameter(param::VcaSustain, 1.0f);
        p.setParameter(param::MgAmount, 1.0f);
        p.setParameter(param::MgFrequency, 0.4f);  // a few hertz
        restore(p);
        open();
    }

    Point socketCentre(int socketIndex) const { return centre(gui::tag::socket(socketIndex + 1)); }

    void dragCable(int from, int to) {
        const Point a = socketCentre(from);
        const Point b = socketCentre(to);
        window_.drag(a.x, a.y, b.x, b.y, 12);
    }

    std::vector<Connection> cables() {
        const TarvikPatch p = patch();
        std::vector<Connection> list;
        for (int i = 0; i < p.cables.size(); ++i) list.push_back(p.cables.at(i));
        return list;
    }

    // How much a held note's level swings from one 50 ms window to the next.
    double tremolo() {
        plugin_.sendEvents({{0, {0x90, 45, 100}}});
        const std::vector<float> out = render(44100);
        plugin_.sendEvents({{0, {0x80, 45, 0}}});
        render(4410);
        double lowest = 1e9;
        double highest = 0.0;
        for (std::size_t from = 8820; from + 2205 <= out.size(); from += 2205) {
            const double level = test::rms(out, from, from + 2205);
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
        }
        return highest / std::max(lowest, 1e-9);
    }
};

const Connection kLfoToVca{socket::MgCvOutput, socket::VcaCv};

TEST_F(PatchCables, AnOutputDraggedToAnInputConnectsThemAndTheSoundFollows) {
    const double before = tremolo();
    dragCable(socket::MgCvOutput, socket::VcaCv);
    EXPECT_EQ(cables(), std::vector<Connection>{kLfoToVca});
    const double after = tremolo();
    EXPECT_LT(before, 1.2) << "without the cable the note holds its level";
    EXPECT_GT(after, 2.0) << "the LFO now swings the amplifier";
}

TEST_F(PatchCables, AnInputDraggedToAnOutputStoresTheSamePair) {
    dragCable(socket::VcaCv, socket::MgCvOutput);
    EXPECT_EQ(cables(), std::vector<Connection>{kLfoToVca});
}

TEST_F(PatchCables, ACableTakenOffItsInputGoesWhereItIsDropped) {
    dragCable(socket::MgCvOutput, socket::VcaCv);
    dragCable(socket::VcaCv, socket::VcfCv);  // onto another free input: moved
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));
    const Point from = socketCentre(socket::VcfCv);
    const Point empty = centre(gui::tag::Background);
    window_.drag(from.x, from.y, empty.x, empty.y, 12);  // onto empty panel: gone
    EXPECT_TRUE(cables().empty());
}

TEST_F(PatchCables, AShiftClickClearsEveryCableOfASocket) {
    dragCable(socket::MgCvOutput, socket::VcaCv);
    dragCable(socket::MgCvOutput, socket::VcfCv);
    dragCable(socket::VcaEnvOut, socket::Vco1Cv);
    const Point lfo = socketCentre(socket::MgCvOutput);
    window_.click(lfo.x, lfo.y, 1, true);
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::VcaEnvOut, socket::Vco1Cv}}));
}

// The socket menu, in its pop-up window, through its keys: Home highlights
// the first entry that can be chosen. An input that already has a cable can
// take no other: every socket entry is disabled, so Down comes round to
// "Disconnect" again. A free input can take any output: the first one below
// the heading connects. Escape leaves everything as it was.
TEST_F(PatchCables, TheSocketMenuOffersOnlyWhatTheRulesAllow) {
    dragCable(socket::MgCvOutput, socket::VcaCv);
    const Point busy = socketCentre(socket::VcaCv);
    window_.click(busy.x, busy.y, 3);
    window_.tapKey(XK_Home);  // Disconnect
    window_.tapKey(XK_Down);  // nothing else to go to
    window_.tapKey(XK_Return);
    ASSERT_TRUE(window_.settle());
    EXPECT_TRUE(cables().empty()) << "only Disconnect could be chosen";

    const Point free = socketCentre(socket::VcfCv);
    window_.click(free.x, free.y, 3);
    window_.tapKey(XK_Home);  // Disconnect
    window_.tapKey(XK_Down);  // the first output of the table, MG CV Output
    window_.tapKey(XK_Return);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}}));

    window_.click(free.x, free.y, 3);
    window_.tapKey(XK_Home);
    window_.tapKey(XK_Escape);
    ASSERT_TRUE(window_.settle());
    EXPECT_EQ(cables(), (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}})) << "Escape changes nothing";
    dragCable(socket::MgCvOutput, socket::VcaCv);
    EXPECT_EQ(cables(),
              (std::vector<Connection>{{socket::MgCvOutput, socket::VcfCv}, {socket::MgCvOutput, socket::VcaCv}}))
        << "and the panel takes the pointer again";
}

// The box over a socket is the skin's size, or as wide as a long name
// needs: the changed pixels under the pointer show how wide it was drawn.
TEST_F(PatchCables, TheSocketBoxShowsTheLongestNameWhole) {
    const auto byLength = [](const SocketDefinition& a, const SocketDefinition& b) {
        return std::string_view(a.name).size() < std::string_view(b.name).size();
    };
    const auto longest = std::max_element(kSocketDefinitions.begin(), kSocketDefinitions.end(), byLength);
    const auto shortest = std::min_element(kSocketDefinitions.begin(), kSocketDefinitions.end(), byLength);
    const int boxWidth = static_cast<int>(element(gui::tag::DispBackground).right - element(gui::tag::DispBackground).left);

    const auto drawnWidth = [&](int socketIndex) {
        window_.moveTo(2, 2);
        EXPECT_TRUE(window_.settle());
        const std::vector<std::uint32_t> before = window_.capture();
        const Point p = socketCentre(socketIndex);
        window_.moveTo(p.x, p.y);
        EXPECT_TRUE(window_.settle());
        const std::vector<std::uint32_t> after = window_.capture();
        int left = window_.width();
        int right = -1;
        for (int y = 0; y < window_.height(); ++y)
            for (int x = 0; x < window_.width(); ++x) {
                const std::size_t i = static_cast<std::size_t>(y * window_.width() + x);
                if (before[i] == after[i]) continue;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        return right - left + 1;
    };
    EXPECT_LE(drawnWidth(static_cast<int>(shortest - kSocketDefinitions.begin())), boxWidth + 4)
        << "a short name keeps the skin's box";
    EXPECT_GT(drawnWidth(static_cast<int>(longest - kSocketDefinitions.begin())), boxWidth + 4)
        << longest->name << " widens it";
}

}  // namespace
}  // namespace tarvik
