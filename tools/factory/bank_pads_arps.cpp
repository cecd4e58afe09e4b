// Sounds around the bass rather than under it: polyphonic pads shaped by
// the modulation generator, and arpeggios thrown into the tempo-synced delay.
#include "patch/parameters.h"
#include "tools/factory/bank.h"
#include "tools/factory/knob_values.h"

namespace tarvik::factory {

namespace {

// Two saws a few cents apart, slow to rise and slow to fade.
std::vector<Knob> padVoice(std::initializer_list<Knob> changes) {
    std::vector<Knob> knobs = {
        {param::Vco1Waveform, wave::kSaw},
        {param::Vco2Waveform, wave::kSaw},
        {param::Vco1Level, 0.5f},
        {param::Vco2Level, 0.4f},
        {param::Vco2FineTune, fineTuneSemitones(0.12)},
        {param::FilterResonance, 0.2f},
        {param::EnvelopeMod, 0.15f},
        {param::VcfSustain, 0.6f},
        {param::VcaAttack, attackSeconds(0.25)},
        {param::VcaSustain, 1.0f},
        {param::VcaRelease, releaseSeconds(1.2)},
    };
    knobs.insert(knobs.end(), changes);
    return knobs;
}

// A short pluck: the VCA decays within the step whatever the gate does.
std::vector<Knob> pluckVoice(std::initializer_list<Knob> changes) {
    std::vector<Knob> knobs = {
        {param::FilterCutoff, 0.42f},
        {param::FilterResonance, 0.5f},
        {param::EnvelopeMod, 0.45f},
        {param::VcfDecay, decaySeconds(0.2)},
        {param::VcaDecay, decaySeconds(0.3)},
        {param::VcaSustain, 0.0f},
        {param::AccentAmount, 0.5f},
        {param::AccentDecay, decaySeconds(0.2)},
        {param::AccentVolume, 0.5f},
        {param::GateTime, 0.5f},
        {param::DelayBpmSync, kOn},
    };
    knobs.insert(knobs.end(), changes);
    return knobs;
}

}  // namespace

std::vector<Recipe> padAndArpRecipes() {
    return {
        {
            .folder = "Pads",
            .name = "LFO Gated Pad",
            .play = Play::kPoly,
            .bpm = 124.0,
            .knobs = padVoice({{param::Vco1Level, 0.35f},
                               {param::Vco2Level, 0.28f},
                               {param::FilterCutoff, 0.5f},
                               {param::VcaAttack, attackSeconds(0.03)},
                               {param::MgWave, mg_wave::kSaw},
                               {param::MgBpmSync, kOn},
                               {param::MgFrequency, syncRatio(2)},
                               {param::MgAmount, 1.0f},
                               {param::MgVcaDest, 0.8f},
                               {param::MgRetrigger, kOn},
                               {param::DelayAmount, 0.25f},
                               {param::DelayFeedback, 0.4f},
                               {param::DelayBpmSync, kOn},
                               {param::DelayLeft, syncRatio(3)},
                               {param::DelayRight, syncRatio(2)},
                               {param::MasterVolume, 0.28f}}),
            .lines = {{"C3 _ _ _ D#3 _ _ _ G3 _ _ _ A#3 _ _ _"},
                      {"G#2 _ _ _ C3 _ _ _ D#3 _ _ _ G3 _ _ _"},
                      {"F2 _ _ _ G#2 _ _ _ C3 _ _ _ D#3 _ _ _"},
                      {"G2 _ _ _ B2 _ _ _ D3 _ _ _ F3 _ _ _"}},
            .info = "LFO GATED PAD: detuned saws chopped into eighth notes by the MG: its falling saw on the VCA, "
                    "locked to the tempo, strikes each eighth loud and fades it, with tempo-synced echoes. "
                    "Hold chords; the chop starts with each new chord. MG VCA Dest sets how deep it cuts, MG "
                    "Frequency its rate.",
        },
        {
            .folder = "Pads",
            .name = "Slow Sweep Pad",
            .play = Play::kPoly,
            .bpm = 120.0,
            .knobs = padVoice({{param::Vco1Waveform, wave::kSquare},
                               {param::Vco2Waveform, wave::kPulse},
                               {param::Vco2PulseWidth, 0.3f},
                               {param::Vco2Range, range::k8Feet},
                               {param::Vco2Level, 0.3f},
                               {param::FilterCutoff, 0.42f},
                               {param::FilterResonance, 0.45f},
                               {param::MgWave, mg_wave::kTriangle},
                               {param::MgFrequency, mgFrequencyHz(0.12)},
                               {param::MgAmount, 1.0f},
                               {param::MgVcfDest, 1.0f},
                               {param::VcaAttack, attackSeconds(0.8)},
                               {param::VcaRelease, releaseSeconds(2.0)},
                               {param::MasterVolume, 0.51f}}),
            .lines = {{"C3 _ _ _ _ _ _ _ G2 _ _ _ _ _ _ _"},
                      {"D#3 _ _ _ _ _ _ _ A#2 _ _ _ _ _ _ _"},
                      {"F3 _ _ _ _ _ _ _ C3 _ _ _ _ _ _ _"},
                      {"G3 _ _ _ _ _ _ _ D3 _ _ _ _ _ _ _"}},
            .info = "SLOW SWEEP PAD: a square and a narrow pulse an octave up, fading in over most of a second, "
                    "while a slow triangle MG sweeps the resonant filter up and down every eight seconds. Hold wide "
                    "chords and let it breathe.",
        },
        {
            .folder = "Arps",
            .name = "Delay Sync Arp",
            .bpm = 122.0,
            .knobs = pluckVoice({{param::Vco1Waveform, wave::kPulse},
                                 {param::Vco1PulseWidth, 0.35f},
                                 {param::Vco1Range, range::k8Feet},
                                 {param::DelayAmount, 0.45f},
                                 {param::DelayFeedback, 0.45f},
                                 {param::DelayLeft, syncRatio(3)},
                                 {param::DelayRight, syncRatio(4)},
                                 {param::MasterVolume, 0.64f}}),
            .lines = {{"C3! D#3 G3 C4 G3 D#3 C3 G2 C3! D#3 G3 A#3 G3 D#3 C3 -"},
                      {"G#2! C3 D#3 G#3 D#3 C3 G#2 D#2 G#2! C3 D#3 G3 D#3 C3 G#2 -"},
                      {"F2! G#2 C3 F3 C3 G#2 F2 C2 F2! G#2 C3 D#3 C3 G#2 F2 -"},
                      {"G2! B2 D3 G3 D3 B2 G2 D2 G2! B2 D3 F3 D3 B2 G2 -"}},
            .info = "DELAY SYNC ARP: a plucked pulse arpeggio in sixteenths with Delay Bpm Sync on: echoes three "
                    "sixteenths later on the left and a quarter note later on the right, so they fall between the "
                    "notes and stay in time at any tempo. C minor, A-flat, F minor and G: a four-bar progression.",
        },
        {
            .folder = "Arps",
            .name = "Triplet Echo Arp",
            .bpm = 100.0,
            .filterMode = 1,
            .knobs = pluckVoice({{param::Vco1Waveform, wave::kSaw},
                                 {param::Vco2Waveform, wave::kSquare},
                                 {param::Vco2Range, range::k8Feet},
                                 {param::Vco2Level, 0.5f},
                                 {param::FilterResonance, 0.7f},
                                 {param::DelayAmount, 0.4f},
                                 {param::DelayFeedback, 0.5f},
                                 {param::DelayLeft, syncRatio(2)},
                                 {param::DelayRight, syncRatio(3)},
                                 {param::MasterVolume, 0.85f}}),
            .lines = {{"A2! C3 E3 A3 E3 C3 A2! C3 E3 G3 E3 C3", 0, true},
                      {"F2! A2 C3 F3 C3 A2 F2! A2 C3 E3 C3 A2", 0, true},
                      {"D2! F2 A2 D3 A2 F2 D2! F2 A2 C3 A2 F2", 0, true},
                      {"E2! G#2 B2 E3 B2 G#2 E2! G#2 B2 D3 B2 G#2", 0, true}},
            .info = "TRIPLET ECHO ARP: a saw and a square an octave up, arpeggiated in triplets and echoed an eighth "
                    "later on the left and three sixteenths later on the right, so the echoes cross the triplet "
                    "grid in a rolling, polyrhythmic shuffle. A minor, F, D minor and E.",
        },
    };
}

}  // namespace tarvik::factory
