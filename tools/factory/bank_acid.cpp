// Squelchy sequenced lines: one oscillator into a resonant TB-303 filter
// that the envelope sweeps, accents that bite and slides that glide.
#include "patch/parameters.h"
#include "tools/factory/bank.h"
#include "tools/factory/knob_values.h"

namespace tarvik::factory {

namespace {

// What every acid line starts from: the gate half a step long, the VCA open
// while it lasts, a quick filter decay that the accent shortens further and
// a short slide.
std::vector<Knob> acidVoice(std::initializer_list<Knob> changes) {
    std::vector<Knob> knobs = {
        {param::Vco1Waveform, wave::kSaw},
        {param::FilterCutoff, 0.22f},
        {param::FilterResonance, 0.85f},
        {param::EnvelopeMod, 0.65f},
        {param::AccentAmount, 0.7f},
        {param::AccentDecay, decaySeconds(0.2)},
        {param::AccentVolume, 0.5f},
        {param::VcfDecay, decaySeconds(0.35)},
        {param::GlideTime, glideMs(60.0)},
        {param::GateTime, 0.55f},
    };
    knobs.insert(knobs.end(), changes);
    return knobs;
}

}  // namespace

std::vector<Recipe> acidRecipes() {
    return {
        {
            .folder = "Acid",
            .name = "Acid Line 1",
            .bpm = 130.0,
            .filterMode = 0,
            .knobs = acidVoice({{param::MasterVolume, 0.65f}}),
            .lines = {{"C2! C2 C3~ C2 - C2 D#2! C2~ F2 F#2~ G2 - C2! C3 A#2~ G2"},
                      {"C2 C2! - C2 A#1~ C2 C3! C2 - D#2~ F2 C2! G2~ A#2 C3 -"},
                      {"C2! _ C3 C2 D#2~ D#2 - C2! G1~ A#1 C2 C3! - F2 D#2~ C2"},
                      {"F1! F1 F2~ F1 - F1 G#1! F1~ A#1 B1~ C2 - F1! F2 D#2~ C2"}},
            .info = "ACID LINE 1: the classic. A saw into the 24 dB TB-303 filter with high resonance; the envelope "
                    "sweeps it on every note, accents open it further and slides glide into the next note. Lines 1 "
                    "to 3 are in C, line 4 is the same figure in F for the change. Turn Cutoff and Envelope Mod "
                    "while it runs.",
        },
        {
            .folder = "Acid",
            .name = "Acid Line 2 Square",
            .bpm = 126.0,
            .filterMode = 1,
            .knobs = acidVoice({{param::Vco1Waveform, wave::kSquare},
                                {param::FilterCutoff, 0.26f},
                                {param::FilterResonance, 0.9f},
                                {param::EnvelopeMod, 0.55f},
                                {param::VcfDecay, decaySeconds(0.5)},
                                {param::MasterVolume, 0.87f}}),
            .lines = {{"A1! A1 - A2~ A1 C2 A1 E2!~ D2 A1 - G1! A1 A2~ G2 E2"},
                      {"A1 A2! A1 - C2~ D2 - A1! E2 A1 G2~ A1 A1! - C2 D2~"},
                      {"D2! D2 - D3~ D2 F2 D2 A2!~ G2 D2 - C2! D2 D3~ C3 A2"},
                      {"E2! _ E3~ E2 D2 - E2! G2~ A2 - E2 B1! D2~ E2 - E2"}},
            .info = "ACID LINE 2 SQUARE: the hollow square wave through the 18 dB TB-303 filter, a rounder and "
                    "woodier squelch with a longer filter decay. Lines in A minor: A, A, D and E, a four-bar turn.",
        },
        {
            .folder = "Acid",
            .name = "Rubber Squelch",
            .bpm = 138.0,
            .filterMode = 0,
            .knobs = acidVoice({{param::FilterCutoff, 0.15f},
                                {param::FilterResonance, 0.95f},
                                {param::EnvelopeMod, 0.8f},
                                {param::AccentAmount, 0.85f},
                                {param::VcfDecay, decaySeconds(0.18)},
                                {param::GlideTime, glideMs(90.0)},
                                {param::GateTime, 0.7f},
                                {param::MasterVolume, 0.48f}}),
            .lines = {{"E1! E2~ E1 E1~ G1 E1! - E2~ D2 E1 E1! B1~ D2 E1 - E2~"},
                      {"E1 - E1! E1~ F1 E1 E2!~ E1 G1 A1~ B1 - E1! D2~ E1 E2"},
                      {"A1! A2~ A1 A1~ C2 A1! - A2~ G2 A1 A1! E2~ G2 A1 - A2~"},
                      {"E1! E1~ F1~ G1~ A1! - E1 E2!~ D2~ B1 A1~ G1 E1! _ E2~ E1"}},
            .info = "RUBBER SQUELCH: resonance near self-oscillation, a very short filter decay and lots of slides: "
                    "the low E bounces and chirps. Keep Resonance below the top or it whistles on its own; Envelope "
                    "Mod sets how far each note squelches.",
        },
        {
            .folder = "Acid",
            .name = "Acid Triplets",
            .bpm = 118.0,
            .filterMode = 1,
            .knobs = acidVoice({{param::FilterCutoff, 0.25f},
                                {param::FilterResonance, 0.8f},
                                {param::EnvelopeMod, 0.6f},
                                {param::VcfDecay, decaySeconds(0.25)},
                                {param::MasterVolume, 0.84f}}),
            .lines = {{"G1! G2 G1 A#1~ C2 G1 G1! D2~ G1 F2 G1! D#2~", 0, true},
                      {"G1 - G1! G2~ G1 D2 - G1! A#1 C2~ D2 F2!", 0, true},
                      {"G1! G1 G2 G1 G1 D2~ G1! G1 F2 G1 G1 D#2~ G1! G1 G2 G1 A#1 C2~ G1! - G2~ D2 C2 A#1", 3},
                      {"G1! G2 - G1 A#1~ C2 G1 - G1! D2~ D#2 - G1 G2! F2~ D2"}},
            .info = "ACID TRIPLETS: the same squelch in other meters. Lines 1 and 2 run in triplets (three steps a "
                    "beat, twelve a bar), line 3 in sextuplet rolls (six a beat), line 4 in straight sixteenths to "
                    "land on. All in G minor.",
        },
    };
}

}  // namespace tarvik::factory
