#include "gui/editor/patch_field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gui/skin_tags.h"
#include "gui/toolkit/menu_session.h"
#include "gui/toolkit/option_menu.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/file_text.h"
#include "tests/support/test_instrument.h"
#include "tests/support/scoped_data_folder.h"

namespace tarvik {

void PrintTo(const Connection& c, std::ostream* out) { *out << "(" << c.output << ", " << c.input << ")"; }

namespace gui {
namespace {

using test::mouseAt;
using test::rowName;
using Pairs = std::vector<Connection>;

// Sockets of the table used below.
constexpr int kVco1Cv = socket::Vco1Cv;          // input
constexpr int kVco2Cv = socket::Vco2Cv;          // input
constexpr int kBalanceCv = socket::VcoBalanceCv; // input
constexpr int kMgOut = socket::MgCvOutput;       // output
constexpr int kGateOut = socket::SeqGateOut;     // output
constexpr int kNoteOut = socket::SeqNoteOut;     // output

constexpr Point kEmptyPanel{70, 60};

std::vector<int> allSockets() {
    std::vector<int> numbers;
    for (int n = 1; n <= kNumSockets; ++n) numbers.push_back(n);
    return numbers;
}

// A panel of sockets in rows of seven, 16 pixels square, 100 apart across
// and 80 down; SOCKET2 names a picture of its own.
std::string skinText(const std::vector<int>& socketNumbers) {
    std::string text = "CORDPLUG \"cordplug.png\", 0, 0, 10, 10\n";
    for (int n : socketNumbers) {
        const int i = n - 1;
        text += "SOCKET" + std::to_string(n) + (n == 2 ? " \"other.png\", " : " \"socket.png\", ") +
                std::to_string(20 + i % 7 * 100) + ", " + std::to_string(20 + i / 7 * 80) + ", 16, 16\n";
    }
    return text;
}

class PatchFieldTest : public ::testing::Test {
protected:
    explicit PatchFieldTest(const std::vector<int>& socketNumbers = allSockets()) {
        const auto path = folder / "sockets.skn";
        tarvik::test::writeWholeFile(path, skinText(socketNumbers));
        EXPECT_TRUE(skin.parse(path.string()));
        for (const std::string& file : skin.bitmapFiles()) {
            if (file == "socket.png") bitmaps.push_back(test::stackedImages(16, 16, 2));
            if (file == "other.png") bitmaps.push_back(test::stackedImages(16, 16, 1));
            if (file == "cordplug.png") bitmaps.push_back(test::stackedImages(10, 10, 1));
        }
        panel = std::make_unique<Panel>(skin, bitmaps);
        field.addSockets(frame, *panel);
        field.addCables(frame, *panel, skin);
        field.setPopUp([this](const MenuModel& m, Point where, MenuAnswer answer) {
            menu.popUp(m, where, std::move(answer));
        });
    }

    CableEditing& cables() { return instrument.control().cables(); }
    const SocketTable& table() { return cables().rules(); }
    CableLayer& cableLayer() { return *field.cableLayer(); }

    void setCables(const Pairs& pairs) {
        for (const Connection& c : pairs) ASSERT_TRUE(cables().connect(c.output, c.input));
        field.rebuild();
    }
    Pairs current() {
        const CableList list = cables().current();
        Pairs pairs;
        for (int i = 0; i < list.size(); ++i) pairs.push_back(list.at(i));
        return pairs;
    }
    // The cables on screen, as pairs, in no particular order; each must
    // hang between its sockets' centres.
    Pairs cablesShown() {
        Pairs shown;
        for (int k = 0; k < CableLayer::kPoolSize; ++k) {
            const PatchCord& c = cableLayer().cable(k);
            if (!c.inUse()) continue;
            shown.push_back({c.output(), c.input()});
            EXPECT_EQ(c.start().x, centre(c.output()).x) << "cable " << k;
            EXPECT_EQ(c.start().y, centre(c.output()).y) << "cable " << k;
            EXPECT_EQ(c.end().x, centre(c.input()).x) << "cable " << k;
            EXPECT_EQ(c.end().y, centre(c.input()).y) << "cable " << k;
        }
        return shown;
    }
    static Pairs sorted(Pairs pairs) {
        std::sort(pairs.begin(), pairs.end(),
                  [](const Connection& a, const Connection& b) { return std::tie(a.output, a.input) < std::tie(b.output, b.input); });
        return pairs;
    }

    Point at(int socketIndex) { return field.socket(socketIndex)->rect().centre(); }
    PointF centre(int socketIndex) {
        const Rect& r = field.socket(socketIndex)->rect();
        return {(r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0};
    }
    void press(Point p, int modifiers = 0, int buttons = button::kLeft) {
        frame.mouseDown(mouseAt(p, modifiers, buttons));
    }
    void move(Point p) { frame.mouseMoved(mouseAt(p)); }
    void release(Point p, int buttons = button::kLeft) { frame.mouseUp(mouseAt(p, 0, buttons)); }
    void drag(int from, Point to) {
        press(at(from));
        move({(at(from).x + to.x) / 2, (at(from).y + to.y) / 2});
        move(to);
        release(to);
    }
    void openMenu(int socketIndex) {
        press(at(socketIndex), 0, button::kRight);
        release(at(socketIndex), button::kRight);
        overMenu = menu.entryRect(0, PatchField::kMenuDisconnect).centre();
    }
    // The list of sockets is taller than the frame: the menu scrolls, as far
    // as it takes, to bring the entry into view before clicking it.
    void choose(int entry) {
        for (int turn = 0; turn < kNumSockets && menu.entryRect(0, entry).empty(); ++turn)
            frame.wheel(mouseAt(overMenu), -1.0);
        const Rect shown = menu.entryRect(0, entry);
        ASSERT_FALSE(shown.empty()) << "entry " << entry << " never came into view";
        press(shown.centre());
        release(shown.centre());
    }

    tarvik::test::TestInstrument instrument;
    const std::filesystem::path& folder = instrument.folder.path();
    SkinDefinition skin;
    std::vector<Bitmap> bitmaps;
    std::unique_ptr<Panel> panel;
    Frame frame{Rect::sized(0, 0, 755, 525)};
    GuiPreferences preferences;
    PatchField field{cables(), preferences, 17u};
    // The editor's menu; it goes before the field and the frame.
    OptionMenu menu{frame};
    Point overMenu;  // a point of the open menu's top level
};

// --- Making cables by dragging.

struct DragCase {
    std::string name;
    Pairs before;
    int from;
    int to;  // -1: empty panel
    Pairs after;
    friend void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }
};

class PatchFieldDrag : public PatchFieldTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(PatchFieldDrag, ChangesTheListOnlyAsTheRulesAllow) {
    const DragCase& c = GetParam();
    setCables(c.before);
    drag(c.from, c.to >= 0 ? at(c.to) : kEmptyPanel);
    EXPECT_EQ(current(), c.after);
    EXPECT_EQ(sorted(cablesShown()), sorted(c.after));
    EXPECT_FALSE(field.dragging());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, PatchFieldDrag,
    ::testing::Values(DragCase{"OutputToInput", {}, kMgOut, kVco1Cv, {{kMgOut, kVco1Cv}}},
                      DragCase{"InputToOutputIsStoredOutputFirst", {}, kVco1Cv, kMgOut, {{kMgOut, kVco1Cv}}},
                      DragCase{"AnOutputFeedsAFurtherInput",
                               {{kMgOut, kVco1Cv}},
                               kMgOut,
                               kVco2Cv,
                               {{kMgOut, kVco1Cv}, {kMgOut, kVco2Cv}}},
                      DragCase{"OffAnInputOntoEmptyPanel", {{kMgOut, kVco1Cv}}, kVco1Cv, -1, {}},
                      DragCase{"OffAnInputOntoAnotherFreeInput",
                               {{kMgOut, kVco1Cv}, {kGateOut, kBalanceCv}},
                               kVco1Cv,
                               kVco2Cv,
                               {{kGateOut, kBalanceCv}, {kMgOut, kVco2Cv}}},
                      DragCase{"OffAnInputBackOntoIt", {{kMgOut, kVco1Cv}}, kVco1Cv, kVco1Cv, {{kMgOut, kVco1Cv}}},
                      DragCase{"OffAnInputOntoATakenInput",
                               {{kMgOut, kVco1Cv}, {kGateOut, kVco2Cv}},
                               kVco1Cv,
                               kVco2Cv,
                               {{kGateOut, kVco2Cv}}},
                      DragCase{"OutputOntoOutput", {}, kMgOut, kGateOut, {}},
                      DragCase{"InputOntoInput", {}, kVco1Cv, kVco2Cv, {}},
                      DragCase{"OntoAnInputWithACable", {{kMgOut, kVco1Cv}}, kGateOut, kVco1Cv, {{kMgOut, kVco1Cv}}},
                      DragCase{"OntoItself", {}, kMgOut, kMgOut, {}},
                      DragCase{"OutputOntoEmptyPanel", {}, kMgOut, -1, {}}),
    rowName<DragCase>);

TEST_F(PatchFieldTest, WhileDraggingTheSocketsShowWhereTheCableMayGo) {
    setCables({{kMgOut, kVco1Cv}});
    press(at(kGateOut));
    move(at(kVco2Cv));
    ASSERT_TRUE(field.dragging());
    for (int s = 0; s < kNumSockets; ++s) {
        EXPECT_EQ(field.socket(s)->highlighted(), table().isInput(s) && s != kVco1Cv) << "socket " << s;
        EXPECT_EQ(field.socket(s)->lit(), s == kVco2Cv) << "socket " << s;
    }
    const PatchCord* held = cableLayer().findCable(kGateOut, -1);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->end().x, centre(kVco2Cv).x) << "the end snaps to the lit socket";
    EXPECT_EQ(held->end().y, centre(kVco2Cv).y);
    EXPECT_FALSE(held->plugVisible());

    move({at(kVco2Cv).x + 30, at(kVco2Cv).y + 25});
    EXPECT_FALSE(field.socket(kVco2Cv)->lit());
    EXPECT_EQ(held->end().x, at(kVco2Cv).x + 30) << "off a socket the end follows the pointer";
    EXPECT_TRUE(held->plugVisible());

    move(at(kNoteOut));
    EXPECT_FALSE(field.socket(kNoteOut)->lit()) << "a socket the rule refuses never lights";
    EXPECT_TRUE(held->plugVisible());

    release(at(kNoteOut));
    for (int s = 0; s < kNumSockets; ++s) {
        EXPECT_FALSE(field.socket(s)->highlighted()) << "socket " << s;
        EXPECT_FALSE(field.socket(s)->lit()) << "socket " << s;
    }
}

TEST_F(PatchFieldTest, APickedUpCableKeepsItsOutputEndAndItsPatchCord) {
    setCables({{kGateOut, kBalanceCv}, {kMgOut, kVco1Cv}});
    PatchCord* const cable = cableLayer().findCable(kMgOut, kVco1Cv);
    ASSERT_NE(cable, nullptr);
    press(at(kVco1Cv));
    move(kEmptyPanel);
    EXPECT_EQ(current(), (Pairs{{kGateOut, kBalanceCv}})) << "taken off as soon as it is picked up";
    EXPECT_EQ(cable->start().x, centre(kMgOut).x);
    EXPECT_EQ(cable->end().x, kEmptyPanel.x);
    EXPECT_TRUE(cable->inUse());
    release(kEmptyPanel);
    EXPECT_FALSE(cable->inUse());
}

TEST_F(PatchFieldTest, WithEveryCableInUseANewDragTakesNone) {
    setCables({{kMgOut, kVco1Cv}});
    for (int k = 0; k < CableLayer::kPoolSize; ++k) cableLayer().cable(k).setInUse(true);
    drag(kGateOut, at(kVco2Cv));
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco1Cv}}));
    EXPECT_FALSE(field.socket(kVco2Cv)->lit());

    drag(kVco1Cv, at(kVco2Cv));
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco2Cv}})) << "a cable already hanging can still be moved";
}

TEST_F(PatchFieldTest, HiddenCablesStillConnect) {
    preferences.displayCables = 0;
    field.rebuild();
    drag(kMgOut, at(kVco1Cv));
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco1Cv}}));
    EXPECT_TRUE(cablesShown().empty());
}

// --- Shift-click.

struct ClearCase {
    std::string name;
    int socket;
    Pairs after;
    friend void PrintTo(const ClearCase& c, std::ostream* out) { *out << c.name; }
};

class PatchFieldClear : public PatchFieldTest, public ::testing::WithParamInterface<ClearCase> {};

TEST_P(PatchFieldClear, ShiftPressClearsEveryCableOfTheSocket) {
    setCables({{kMgOut, kVco1Cv}, {kMgOut, kVco2Cv}, {kGateOut, kBalanceCv}});
    press(at(GetParam().socket), modifier::kShift);
    release(at(GetParam().socket));
    EXPECT_EQ(current(), GetParam().after);
    EXPECT_EQ(sorted(cablesShown()), sorted(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(Sockets, PatchFieldClear,
                         ::testing::Values(ClearCase{"OutputWithTwo", kMgOut, {{kGateOut, kBalanceCv}}},
                                           ClearCase{"Input", kVco2Cv, {{kMgOut, kVco1Cv}, {kGateOut, kBalanceCv}}},
                                           ClearCase{"Unconnected",
                                                     kNoteOut,
                                                     {{kMgOut, kVco1Cv}, {kMgOut, kVco2Cv}, {kGateOut, kBalanceCv}}}),
                         rowName<ClearCase>);

// --- The socket menu.

struct MenuCase {
    std::string name;
    int socket;
    std::string heading;
    std::string arrow;
    bool (*choosable)(const SocketTable& table, int other);
    std::vector<int> starred;  // the sockets it has a cable to
    friend void PrintTo(const MenuCase& c, std::ostream* out) { *out << c.name; }
};

class PatchFieldMenuEntries : public PatchFieldTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(PatchFieldMenuEntries, ListEverySocketOfferingWhatTheRulesAllow) {
    const MenuCase& c = GetParam();
    setCables({{kMgOut, kVco1Cv}});
    const MenuModel m = field.socketMenu(c.socket);
    ASSERT_EQ(m.size(), PatchField::kMenuFirstSocket + table().size());
    ASSERT_EQ(m.lines().size(), static_cast<std::size_t>(m.size() + 2)) << "two separators";
    EXPECT_EQ(m.entry(PatchField::kMenuDisconnect)->text, "Disconnect");
    EXPECT_TRUE(m.entry(PatchField::kMenuDisconnect)->enabled);
    EXPECT_EQ(m.lineOf(PatchField::kMenuHeading), 2) << "between separators";
    EXPECT_EQ(m.entry(PatchField::kMenuHeading)->text, c.heading);
    EXPECT_EQ(m.entry(PatchField::kMenuHeading)->right, c.arrow);
    EXPECT_FALSE(m.entry(PatchField::kMenuHeading)->enabled);
    EXPECT_EQ(m.lineOf(PatchField::kMenuFirstSocket), 4) << "after the second separator";
    for (int s = 0; s < table().size(); ++s) {
        const MenuItem& e = *m.entry(PatchField::kMenuFirstSocket + s);
        EXPECT_EQ(e.text, table().socket(s).name);
        const bool starred = std::find(c.starred.begin(), c.starred.end(), s) != c.starred.end();
        EXPECT_EQ(e.right, starred ? "*" : "") << e.text;
        EXPECT_EQ(e.enabled, c.choosable(table(), s)) << e.text;
        EXPECT_FALSE(e.checked || e.submenu) << e.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, PatchFieldMenuEntries,
    ::testing::Values(MenuCase{"AnInputWithACableTakesNoOther", kVco1Cv, "VCO-1 CV Input", "<---",
                               [](const SocketTable&, int) { return false; }, {kMgOut}},
                      MenuCase{"AFreeInputTakesAnyOutput", kVco2Cv, "VCO-2 CV Input", "<---",
                               [](const SocketTable& sockets, int s) { return sockets.isOutput(s); }, {}},
                      MenuCase{"AnOutputFeedsTheFreeInputs", kMgOut, "MG CV Output", "--->",
                               [](const SocketTable& sockets, int s) { return sockets.isInput(s) && s != kVco1Cv; },
                               {kVco1Cv}}),
    rowName<MenuCase>);

TEST_F(PatchFieldTest, ARightClickPopsTheMenuUpAtThePointer) {
    openMenu(kVco2Cv);
    ASSERT_TRUE(menu.isOpen());
    const Rect first = menu.entryRect(0, PatchField::kMenuDisconnect);
    EXPECT_EQ(first.left, at(kVco2Cv).x + MenuSession::kPadding);
    EXPECT_TRUE(frame.rect().contains(first)) << "taller than the frame, the menu starts higher up";
    EXPECT_TRUE(current().empty());
    EXPECT_FALSE(field.dragging()) << "a right-click takes no cable out";
}

TEST_F(PatchFieldTest, WithoutAMenuARightClickDoesNothing) {
    setCables({{kMgOut, kVco1Cv}});
    field.setPopUp(nullptr);
    openMenu(kVco1Cv);
    EXPECT_FALSE(menu.isOpen());
    EXPECT_FALSE(field.dragging());
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco1Cv}}));
}

struct ChoiceCase {
    std::string name;
    Pairs before;
    int socket;
    int entry;
    Pairs after;
    bool staysOpen;  // nothing could be chosen there
    friend void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }
};

class PatchFieldMenuChoice : public PatchFieldTest, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(PatchFieldMenuChoice, ChangesTheListAndHangsTheCables) {
    const ChoiceCase& c = GetParam();
    setCables(c.before);
    openMenu(c.socket);
    choose(c.entry);
    EXPECT_EQ(current(), c.after);
    EXPECT_EQ(sorted(cablesShown()), sorted(c.after));
    EXPECT_EQ(menu.isOpen(), c.staysOpen);
}

constexpr int entryOf(int socketIndex) { return PatchField::kMenuFirstSocket + socketIndex; }

INSTANTIATE_TEST_SUITE_P(
    Entries, PatchFieldMenuChoice,
    ::testing::Values(ChoiceCase{"DisconnectClearsEveryCableOfTheSocket",
                                 {{kMgOut, kVco1Cv}, {kMgOut, kVco2Cv}, {kGateOut, kBalanceCv}},
                                 kMgOut,
                                 PatchField::kMenuDisconnect,
                                 {{kGateOut, kBalanceCv}},
                                 false},
                      ChoiceCase{"AnOutputForAFreeInput",
                                 {{kMgOut, kVco1Cv}},
                                 kVco2Cv,
                                 entryOf(kGateOut),
                                 {{kMgOut, kVco1Cv}, {kGateOut, kVco2Cv}},
                                 false},
                      ChoiceCase{"AnInputForAnOutputIsStoredOutputFirst",
                                 {},
                                 kNoteOut,
                                 entryOf(kBalanceCv),
                                 {{kNoteOut, kBalanceCv}},
                                 false},
                      ChoiceCase{"AnInputFarDownTheList", {}, kMgOut, entryOf(socket::VcaCv), {{kMgOut, socket::VcaCv}},
                                 false},
                      ChoiceCase{"TheHeadingIsNoChoice",
                                 {{kMgOut, kVco1Cv}},
                                 kMgOut,
                                 PatchField::kMenuHeading,
                                 {{kMgOut, kVco1Cv}},
                                 true},
                      ChoiceCase{"ASocketTheRulesRefuse",
                                 {{kMgOut, kVco1Cv}},
                                 kVco1Cv,
                                 entryOf(kGateOut),
                                 {{kMgOut, kVco1Cv}},
                                 true}),
    rowName<ChoiceCase>);

TEST_F(PatchFieldTest, EscapeClosesTheMenuChangingNothingAndItOpensAgain) {
    setCables({{kMgOut, kVco1Cv}});
    openMenu(kMgOut);
    EXPECT_TRUE(menu.keyDown({0, vkey::kEscape, 0}));
    EXPECT_FALSE(menu.isOpen());
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco1Cv}}));
    openMenu(kVco2Cv);
    choose(entryOf(kMgOut));
    EXPECT_EQ(current(), (Pairs{{kMgOut, kVco1Cv}, {kMgOut, kVco2Cv}})) << "the second menu answers for its socket";
}

// --- Hover and rebuilding.

struct HoverCase {
    std::string name;
    int socket;  // -1: empty panel
    bool cablesShown;
    std::optional<std::string> direction;
    friend void PrintTo(const HoverCase& c, std::ostream* out) { *out << c.name; }
};

class PatchFieldHover : public PatchFieldTest, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(PatchFieldHover, NamesTheSocketUnderThePointer) {
    const HoverCase& c = GetParam();
    preferences.displayCables = c.cablesShown ? 1 : 0;
    const auto shown = field.hover(c.socket >= 0 ? at(c.socket) : kEmptyPanel);
    ASSERT_EQ(shown.has_value(), c.direction.has_value());
    if (!shown) return;
    EXPECT_EQ(shown->title, "Socket");
    EXPECT_EQ(shown->direction, *c.direction);
    EXPECT_EQ(shown->name, table().socket(c.socket).name);
    EXPECT_EQ(shown->socket, c.socket);
    EXPECT_EQ(shown->rect, field.socket(c.socket)->rect());
}

INSTANTIATE_TEST_SUITE_P(Places, PatchFieldHover,
                         ::testing::Values(HoverCase{"Input", kVco2Cv, true, "INPUT"},
                                           HoverCase{"Output", kGateOut, true, "OUTPUT"},
                                           HoverCase{"EmptyPanel", -1, true, std::nullopt},
                                           HoverCase{"CablesHidden", kVco2Cv, false, std::nullopt}),
                         rowName<HoverCase>);

TEST_F(PatchFieldTest, RebuildFollowsAListChangedElsewhere) {
    setCables({{kMgOut, kVco1Cv}});
    cables().disconnect(kMgOut, kVco1Cv);
    ASSERT_TRUE(cables().connect(kNoteOut, kBalanceCv));
    ASSERT_TRUE(cables().connect(kNoteOut, kVco2Cv));
    field.rebuild();
    EXPECT_EQ(cablesShown(), (Pairs{{kNoteOut, kBalanceCv}, {kNoteOut, kVco2Cv}}));
}

TEST_F(PatchFieldTest, IdleLetsDroppedCablesFallIntoPlace) {
    setCables({{kMgOut, kVco1Cv}});
    const PatchCord* cable = cableLayer().findCable(kMgOut, kVco1Cv);
    ASSERT_TRUE(cable->moving());
    field.idle(16.0, {0, 0});
    EXPECT_FALSE(cable->moving()) << "without antialiasing a cable hangs still at once";
    EXPECT_EQ(cable->control(), cable->restPosition());
}

// --- Skins.

class PatchFieldSparseSkin : public PatchFieldTest {
protected:
    PatchFieldSparseSkin() : PatchFieldTest({1, 2, 5}) {}
};

TEST_F(PatchFieldSparseSkin, MakesOnlyTheSocketsTheSkinPlacesAllWithTheFirstPicture) {
    for (int s = 0; s < kNumSockets; ++s)
        EXPECT_EQ(field.socket(s) != nullptr, s == 0 || s == 1 || s == 4) << "socket " << s;
    EXPECT_EQ(field.socket(1)->bitmap(), panel->bitmap(tag::socket(1)));
    EXPECT_EQ(field.socket(4)->name(), "MG CV Output");
    EXPECT_EQ(field.socket(4)->tag(), tag::socket(5));
}

TEST_F(PatchFieldSparseSkin, ACableToASocketOffThePanelStaysInTheList) {
    setCables({{kMgOut, kVco1Cv}, {kGateOut, kVco2Cv}});
    EXPECT_EQ(cablesShown(), (Pairs{{kMgOut, kVco1Cv}}));
    EXPECT_EQ(current().size(), 2u);
}

}  // namespace
}  // namespace gui
}  // namespace tarvik
