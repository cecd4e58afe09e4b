#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "patch/parameters.h"
#include "tests/support/test_instrument.h"

namespace tarvik {
namespace {

struct Stored {
    int index;
    float value;
};

struct TextCase {
    const char* name;
    int index;
    float value;
    const char* expected;
    std::vector<Stored> stored = {};  // other parameters the row reads
    int delaySyncState = 0;
    friend void PrintTo(const TextCase& row, std::ostream* out) { *out << row.name; }
};

class ValueTexts : public ::testing::TestWithParam<TextCase> {
protected:
    test::TestInstrument instrument;
};

TEST_P(ValueTexts, FormatTheValue) {
    const TextCase& c = GetParam();
    ControlFace& control = instrument.control();
    for (const Stored& s : c.stored) control.setParameter(s.index, s.value);
    control.setState(state::DelaySync, c.delaySyncState);
    char text[kValueTextRoom];
    control.formatParameterValue(c.index, c.value, text);
    EXPECT_STREQ(text, c.expected);
}

const float kNaN = std::nanf("");

// Rows reading the tempo assume the start-up 120 BPM at 44100 Hz.
INSTANTIATE_TEST_SUITE_P(
    Rows, ValueTexts,
    ::testing::Values(
        TextCase{"IndexBeyondTheTable", 73, 0.5f, "N/A"}, TextCase{"NegativeIndex", -1, 0.5f, "N/A"},
        TextCase{"TuningCentre", param::MasterTuning, 0.5f, "+0.00 Semitones"},
        TextCase{"TuningLowest", param::MasterTuning, 0.0f, "-12.00 Semitones"},
        TextCase{"CutoffLowest", param::FilterCutoff, 0.0f, "   38 Hz"},
        TextCase{"CutoffHighest", param::FilterCutoff, 1.0f, "20377 Hz"},
        TextCase{"PercentRow", param::FilterResonance, 0.5f, "50%"},
        TextCase{"PercentZero", param::VcfSustain, 0.0f, " 0%"},
        TextCase{"TrackingDoubles", param::VcfTracking, 0.5f, "100%"},
        TextCase{"VolumeSilent", param::MasterVolume, 0.0f, " 0% (-inf dB)"},
        TextCase{"VolumeHalf", param::MasterVolume, 0.5f, "50% (-0.02dB)"},
        TextCase{"VolumeDefault", param::MasterVolume, 0.75f, "75% (+3.50dB)"},
        TextCase{"TempoHasNoText", param::Tempo, 0.4f, "N/A"},
        TextCase{"ShapeHasNoText", param::Vco2Shape, 0.4f, "N/A"},
        TextCase{"Vco2ModReadsTheStoredValue", param::Vco2Mod, 1.0f, "VCO-2 -> VCF", {{param::Vco2Mod, 0.0f}}},
        TextCase{"Vco2ModToVco2", param::Vco2Mod, 0.0f, "VCO-1 -> VCO-2", {{param::Vco2Mod, 0.3f}}},
        TextCase{"WaveformSaw", param::Vco1Waveform, 0.0f, "Saw"},
        TextCase{"WaveformPulse", param::Vco2Waveform, 0.5f, "Pulse"},
        TextCase{"WaveformTopIsSine", param::Vco1Waveform, 1.0f, "Sine"},
        TextCase{"WaveformAboveOneIsEmpty", param::Vco1Waveform, 1.5f, ""},
        TextCase{"WaveformNaNIsEmpty", param::Vco1Waveform, kNaN, ""},
        TextCase{"FineTuneTop", param::Vco1FineTune, 1.0f, "+48.00 Semitones"},
        TextCase{"FineTuneBottom", param::Vco2FineTune, 0.0f, "-48.00 Semitones"},
        TextCase{"RangeLowest", param::Vco1Range, 0.0f, "16'"},
        TextCase{"RangeTopIsFourFeet", param::Vco2Range, 1.0f, "4'"},
        TextCase{"NoiseColourRed", param::NgColor, 0.0f, "R -[|        ]- W"},
        TextCase{"NoiseColourMiddle", param::NgColor, 0.5f, "R -[    |    ]- W"},
        TextCase{"NoiseColourWhite", param::NgColor, 1.0f, "R -[        |]- W"},
        TextCase{"NoiseColourFarOutside", param::NgColor, 7.0f, "R -[        |]- W"},
        TextCase{"GlideShortest", param::GlideTime, 0.0f, "   10 ms"},
        TextCase{"GlideLongest", param::GlideTime, 1.0f, " 1000 ms"},
        TextCase{"GateWholeSixteenth", param::GateTime, 1.0f, "100%,   125 ms"},
        TextCase{"MgWaveSampleAndHold", param::MgWave, 0.75f, "Sample&Hold"},
        TextCase{"MgWaveTopIsDecay", param::MgWave, 1.0f, "Decay"},
        TextCase{"MgFreeLowest", param::MgFrequency, 0.0f, "0.10 Hz"},
        TextCase{"MgFreeHighest", param::MgFrequency, 1.0f, "1638.40 Hz"},
        TextCase{"MgSyncedOneBeat", param::MgFrequency, 0.5f, "Bpm*1.0 (2.00 Hz)", {{param::MgBpmSync, 1.0f}}},
        TextCase{"MgSyncedSlowest", param::MgFrequency, 0.0f, "Bpm/8.0 (0.25 Hz)", {{param::MgBpmSync, 1.0f}}},
        TextCase{"MgSyncedByTheDelaySyncState", param::MgFrequency, 1.0f, "Bpm*8.0 (16.00 Hz)", {}, 1},
        TextCase{"SwitchOn", param::Ring1x2, 0.6f, "On"}, TextCase{"SwitchHalfIsOff", param::Sync2To1, 0.5f, "Off"},
        TextCase{"DecayLongest", param::VcaDecay, 1.0f, " 54.6 s"},
        TextCase{"DecayShortest", param::AccentDecay, 0.0f, "  0.3 ms"},
        TextCase{"AttackShortest", param::VcaAttack, 0.0f, "  0.1 ms"},
        TextCase{"ReleaseShortest", param::VcfRelease, 0.0f, "  0.9 ms"},
        TextCase{"DelayOff", param::DelayAmount, 0.0f, " 0% (Off)"},
        TextCase{"DelayOn", param::DelayAmount, 0.5f, "50%"},
        TextCase{"DelayFreeShortest", param::DelayLeft, 0.0f, "   15 ms"},
        TextCase{"DelayFreeLongest", param::DelayRight, 1.0f, " 1486 ms"},
        TextCase{"DelaySyncedOneSixteenth", param::DelayLeft, 0.5f, "Bpm", {{param::DelayBpmSync, 1.0f}}},
        TextCase{"DelaySyncedShortest", param::DelayLeft, 0.0f, "Bpm / 8.00", {{param::DelayBpmSync, 1.0f}}},
        TextCase{"DelaySyncedLongest", param::DelayRight, 1.0f, "Bpm * 8.00", {}, 1},
        TextCase{"TriggerSingle", param::TriggerMode, 1.0f, "Single", {{param::TriggerMode, 0.2f}}},
        TextCase{"TriggerMulti", param::TriggerMode, 0.0f, "Multi", {{param::TriggerMode, 0.5f}}},
        TextCase{"TriggerSourceSequencer", param::VegTriggerSource, 0.0f, "Sequencer", {{param::VegTriggerSource, 0.9f}}},
        TextCase{"TriggerSourceMidi", param::MegTriggerSource, 1.0f, "Midi"},
        TextCase{"InverterConverts", param::Inverter2Mode, 0.0f, "Voltage Converter", {{param::Inverter2Mode, 1.0f}}},
        TextCase{"InverterInverts", param::Inverter1Mode, 1.0f, "Inverter"}),
    [](const auto& row) { return std::string(row.param.name); });

// Host-automation values are not clamped, so any float can reach a text.
TEST(ValueTextsExtremes, EveryRowWritesABoundedTextForAnyValue) {
    test::TestInstrument instrument;
    for (int index = 0; index < kNumParameters; ++index) {
        for (float v : {-1e30f, -1.0f, 0.0f, 1.0f, 2.0f, 1e30f, INFINITY, -INFINITY, std::nanf("")}) {
            char text[kValueTextRoom];
            std::memset(text, 'x', sizeof text);
            instrument.control().formatParameterValue(index, v, text);
            EXPECT_LT(std::strlen(text), kValueTextRoom) << index << " " << v;
        }
    }
}

}  // namespace
}  // namespace tarvik
