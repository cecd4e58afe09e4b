#include "gui/editor/display_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "tests/gui/toolkit/toolkit_fixtures.h"
#include "tests/support/file_text.h"
#include "tests/support/test_instrument.h"

namespace tarvik::gui {

void PrintTo(const DisplayTexts& t, std::ostream* out) { *out << "{\"" << t.title << "\", \"" << t.value << "\"}"; }

namespace {

class FloatingTextsTest : public ::testing::Test {
protected:
    ControlFace& control() { return instrument.control(); }
    // Gives the parameter the controller (-1: none) through a map file, as
    // the option menu's "Load MIDI map" does.
    void mapController(int parameter, int controller) {
        std::string key = kParameterTable[static_cast<std::size_t>(parameter)].name;
        std::replace(key.begin(), key.end(), ' ', '_');
        const auto path = instrument.folder.path() / "one.map";
        tarvik::test::writeWholeFile(path, "MidiCC." + key + " = " + std::to_string(controller) + "\n");
        ASSERT_TRUE(control().readControllerMapFile(path.string()));
    }

    tarvik::test::TestInstrument instrument;
};

struct KnobCase {
    const char* name;
    int parameter;
    float value;
    DisplayTexts expected;
    friend void PrintTo(const KnobCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingKnobTexts : public FloatingTextsTest, public ::testing::WithParamInterface<KnobCase> {};

TEST_P(FloatingKnobTexts, NameAndTheHostsValueText) {
    const KnobCase& c = GetParam();
    control().setParameter(c.parameter, c.value);
    EXPECT_EQ(knobTexts(control(), c.parameter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatingKnobTexts,
    ::testing::Values(KnobCase{"TuningCentred", param::MasterTuning, 0.5f, {"Master Tuning:", "+0.00 Semitones"}},
                      KnobCase{"ResonanceQuarter", param::FilterResonance, 0.25f, {"Filter Resonance:", "25%"}},
                      KnobCase{"TrackingDoubles", param::VcfTracking, 0.5f, {"VCF Tracking:", "100%"}},
                      KnobCase{"RangeTop", param::Vco1Range, 1.0f, {"VCO-1 Range:", "4'"}},
                      KnobCase{"WaveformTop", param::Vco2Waveform, 1.0f, {"VCO-2 Waveform:", "Sine"}},
                      KnobCase{"SwitchOn", param::MgRetrigger, 1.0f, {"MG Retrigger:", "On"}}),
    test::rowName<KnobCase>);

TEST_F(FloatingTextsTest, NoTextsBeyondTheParameters) {
    EXPECT_EQ(knobTexts(control(), kNumParameters), DisplayTexts{});
    EXPECT_EQ(learnTexts(control(), -1), DisplayTexts{});
}

struct LearnCase {
    const char* name;
    int parameter;
    int controller;  // -1: none drives it
    DisplayTexts expected;
    friend void PrintTo(const LearnCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingLearnTexts : public FloatingTextsTest, public ::testing::WithParamInterface<LearnCase> {};

TEST_P(FloatingLearnTexts, NameAndTheControllerThatDrivesIt) {
    const LearnCase& c = GetParam();
    mapController(c.parameter, c.controller);
    EXPECT_EQ(learnTexts(control(), c.parameter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatingLearnTexts,
    ::testing::Values(LearnCase{"CutoffOnBrightness", param::FilterCutoff, 74, {"Filter Cutoff:", "Brightness (#74)"}},
                      LearnCase{"GlideOnTheWheel", param::GlideTime, 1, {"Glide time:", "Modulation (#1)"}},
                      LearnCase{"ControllerZero", param::MasterVolume, 0, {"Master Volume:", "Banksel (#0)"}},
                      LearnCase{"NoController", param::Vco1Waveform, -1, {"VCO-1 Waveform:", "Midi CC: N/A"}}),
    test::rowName<LearnCase>);

struct ControllerCase {
    const char* name;
    int controller;
    const char* expected;
    friend void PrintTo(const ControllerCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingControllerNames : public ::testing::TestWithParam<ControllerCase> {};

TEST_P(FloatingControllerNames, FollowTheMidiStandard) {
    EXPECT_EQ(midiControllerName(GetParam().controller), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatingControllerNames,
                         ::testing::Values(ControllerCase{"BankSelect", 0, "Banksel"},
                                           ControllerCase{"Modulation", 1, "Modulation"},
                                           ControllerCase{"Breath", 2, "Breath"},
                                           ControllerCase{"NoStandardName", 3, "Undefined"},
                                           ControllerCase{"Foot", 4, "Foot"},
                                           ControllerCase{"PortamentoTime", 5, "Portamento Time"},
                                           ControllerCase{"Volume", 7, "Volume"},
                                           ControllerCase{"Pan", 10, "Pan"},
                                           ControllerCase{"Expression", 11, "Expression"},
                                           ControllerCase{"ModulationFinePart", 33, "Modulation LSB"},
                                           ControllerCase{"Sustain", 64, "Sustain"},
                                           ControllerCase{"Brightness", 74, "Brightness"},
                                           ControllerCase{"ReverbDepth", 91, "Reverb Depth"},
                                           ControllerCase{"AllNotesOff", 123, "All Notes Off"},
                                           ControllerCase{"LastOne", 127, "Poly On"},
                                           ControllerCase{"BeyondTheRange", 128, "CC 128"},
                                           ControllerCase{"BelowTheRange", -1, "CC -1"}),
                         test::rowName<ControllerCase>);

struct SocketCase {
    const char* name;
    int socket;
    DisplayTexts expected;
    friend void PrintTo(const SocketCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingSocketTexts : public ::testing::TestWithParam<SocketCase> {};

TEST_P(FloatingSocketTexts, DirectionAndName) { EXPECT_EQ(socketTexts(GetParam().socket), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Cases, FloatingSocketTexts,
                         ::testing::Values(SocketCase{"Input", socket::Vco1Cv, {"Socket", "INPUT VCO-1 CV Input"}},
                                           SocketCase{"Output", socket::MgCvOutput, {"Socket", "OUTPUT MG CV Output"}},
                                           SocketCase{"BeyondTheTable", kNumSockets, {"Socket", "N/A"}}),
                         test::rowName<SocketCase>);

struct FilterCase {
    const char* name;
    int mode;
    const char* shortName;
    friend void PrintTo(const FilterCase& row, std::ostream* out) { *out << row.name; }
};

class FloatingFilterTexts : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FloatingFilterTexts, ShortNameOfTheMode) {
    EXPECT_EQ(filterTexts(GetParam().mode), (DisplayTexts{"Filter", GetParam().shortName}));
}

INSTANTIATE_TEST_SUITE_P(Cases, FloatingFilterTexts,
                         ::testing::Values(FilterCase{"Ladder24", 0, "24dB"}, FilterCase{"Ladder18", 1, "18dB"},
                                           FilterCase{"Other18", 2, "18dB"}, FilterCase{"SecondOrder24", 3, "24dBSO"},
                                           FilterCase{"Euler", 4, "Euler"},
                                           FilterCase{"Oversampled", 5, "24dBSO 2x"},
                                           FilterCase{"MenuOnlyModeByItsMenuName", 9, "HP 2-Pole"},
                                           FilterCase{"UnlistedMode", 15, "Mode 15"}),
                         test::rowName<FilterCase>);

}  // namespace
}  // namespace tarvik::gui
