// The synthesizer's 73 host-visible parameters and its 12 integer states.
// Their indexes are part of every patch file, chunk and host automation lane,
// so they never move.
#pragma once

#include <array>
#include <cstdint>

namespace tarvik {

constexpr int kNumParameters = 73;
constexpr int kParameterRoom = 128;  // the patch stores 128 values; 73..127 stay zero
constexpr int kNumStates = 12;
constexpr int kStateRoom = 25;

namespace param {
enum Index : int {
    MasterTuning = 0,
    FilterCutoff,
    FilterResonance,
    EnvelopeMod,
    VcfTracking,
    AccentAmount,
    VcoBoost,
    VcoShaper,
    MasterVolume,
    Tempo,
    Vco2Mod,
    Reserved,
    Vco1Waveform,
    Vco1PulseWidth,
    Vco1FilterMod,
    Vco1FineTune,
    Vco1Range,
    Vco2Waveform,
    Vco2PulseWidth,
    Vco2FreqMod,
    Vco2FineTune,
    Vco2Range,
    NgColor,
    GlideTime,
    GateTime,
    Vco1Level,
    Vco2Level,
    NoiseLevel,
    AuxLevel,
    MgWave,
    MgFrequency,
    MgAmount,
    MgModulation,
    MgVco1Dest,
    MgVco2Dest,
    MgVcfDest,
    MgVcaDest,
    MgPw1Dest,
    Ring1x2,
    Sync2To1,
    AccentDecay,
    AccentVolume,
    AccentExt,
    AccentManual,
    VcaAttack,
    VcaDecay,
    VcaSustain,
    VcaRelease,
    VcfAttack,
    VcfDecay,
    VcfSustain,
    VcfRelease,
    DelayAmount,
    DelayFeedback,
    DelayLeft,
    DelayRight,
    Vco1Shape,
    Vco2Shape,
    MgRetrigger,
    MgAudioOutput,
    EnvFollowAttack,
    EnvFollowRelease,
    OutputVariable1,
    OutputBias,
    OutputVariable2,
    OutputLagTime,
    MgBpmSync,
    DelayBpmSync,
    TriggerMode,
    VegTriggerSource,
    MegTriggerSource,
    Inverter1Mode,
    Inverter2Mode,
};
}  // namespace param
static_assert(param::Inverter2Mode == kNumParameters - 1);

namespace state {
enum Index : int {
    RunStop = 0,
    CurrentPattern,
    Retrigger,
    BendRange,
    MidiMode,
    NoteMode,
    SyncMode,
    FilterMode,
    DelaySync,
    AuxInput,
    PatternLock,
    PatternWriteProtect,
};
}  // namespace state
static_assert(state::PatternWriteProtect == kNumStates - 1);

struct ParameterInfo {
    const char* name;
    float defaultValue;
};

// The BPM range the Tempo parameter spans: value 0 is 25 BPM, value 1 is 250 BPM.
constexpr double kTempoMinBpm = 25.0;
constexpr double kTempoSpanBpm = 225.0;

constexpr float tempoToParameter(double bpm) { return static_cast<float>((bpm - kTempoMinBpm) / kTempoSpanBpm); }
constexpr double parameterToTempo(float value) { return static_cast<double>(value) * kTempoSpanBpm + kTempoMinBpm; }

extern const std::array<ParameterInfo, kNumParameters> kParameterTable;
extern const std::array<const char*, kNumStates> kStateNames;

}  // namespace tarvik
