// Basses under a mix: round subs that sit below the kick, and driven ones
// that the shaper and the boost make cut through it.
#include "patch/parameters.h"
#include "tools/factory/bank.h"
#include "tools/factory/knob_values.h"

namespace tarvik::factory {

namespace {

// A held note keeps its level and the filter stays put: the pitch is the
// whole sound.
std::vector<Knob> sustainedVoice(std::initializer_list<Knob> changes) {
    std::vector<Knob> knobs = {
        {param::EnvelopeMod, 0.0f},
        {param::FilterResonance, 0.0f},
        {param::VcaAttack, attackSeconds(0.004)},
        {param::VcaSustain, 1.0f},
        {param::VcaRelease, releaseSeconds(0.12)},
    };
    knobs.insert(knobs.end(), changes);
    return knobs;
}

}  // namespace

std::vector<Recipe> bassRecipes() {
    return {
        {
            .folder = "Sub Bass",
            .name = "Deep Sub",
            .play = Play::kMono,
            .bpm = 120.0,
            .knobs = sustainedVoice({{param::Vco1Waveform, wave::kSine},
                                     {param::Vco2Waveform, wave::kTriangle},
                                     {param::Vco2Level, 0.25f},
                                     {param::FilterCutoff, 0.3f},
                                     {param::GlideTime, glideMs(120.0)},
                                     {param::MasterVolume, 1.00f}}),
            .lines = {{"C2 _ _ - C2 _ G1~ C2 - - C2 _ D#2~ C2 - -"},
                      {"C2 _ _ _ - - C2 - A#1 _ _ _ - - G1~ A#1"},
                      {"G#1 _ _ - G#1 _ D#2~ G#1 - - G#1 _ C2~ G#1 - -"},
                      {"A#1 _ _ - A#1 _ F1~ A#1 - - G1 _ _ _ C2 _"}},
            .info = "DEEP SUB: a sine with a quiet triangle for a hint of harmonics, behind a low filter: the "
                    "bottom octave of a mix, felt more than heard. Play it in the lowest two octaves; overlapping "
                    "notes glide over 120 ms.",
        },
        {
            .folder = "Sub Bass",
            .name = "Long Glide Sub",
            .play = Play::kMono,
            .bpm = 120.0,
            .knobs = sustainedVoice({{param::Vco1Waveform, wave::kTriangle},
                                     {param::Vco2Waveform, wave::kSine},
                                     {param::Vco2Range, range::k8Feet},
                                     {param::Vco2Level, 0.2f},
                                     {param::FilterCutoff, 0.34f},
                                     {param::GlideTime, glideMs(400.0)},
                                     {param::MasterVolume, 1.00f}}),
            .lines = {{"F1 _ _ _ _ _ C2~ F1 _ _ _ _ D#1~ F1 _ _"},
                      {"F1 _ _ _ G#1~ _ _ _ A#1~ _ _ _ C2~ _ D#1~ F1"},
                      {"C#2 _ _ _ _ _ G#1~ C#2 _ _ _ _ C2~ F1 _ _"},
                      {"D#1 _ _ _ _ _ A#1~ D#1 _ _ _ _ F1~ G#1 _ _"}},
            .info = "LONG GLIDE SUB: a triangle with a sine an octave up, for slow sliding low notes: hold one key, "
                    "press the next and the pitch travels over 400 ms. Shorten Glide time for faster lines.",
        },
        {
            .folder = "Sub Bass",
            .name = "Rolling Sub",
            .bpm = 124.0,
            .knobs = sustainedVoice({{param::Vco1Waveform, wave::kSine},
                                     {param::Vco2Waveform, wave::kTriangle},
                                     {param::Vco2Level, 0.35f},
                                     {param::FilterCutoff, 0.3f},
                                     {param::VcaSustain, 0.0f},
                                     {param::VcaDecay, decaySeconds(1.5)},
                                     {param::GateTime, 0.85f},
                                     {param::GlideTime, glideMs(50.0)},
                                     {param::MasterVolume, 0.97f}}),
            .lines = {{"F1 _ F2~ F1 - F1 D#2~ F1 F1 _ C2 F1 - F1 G#1~ A#1"},
                      {"F1 - F1 F2~ - F1 C2 - F1 _ D#1~ F1 - G#1 A#1~ C2"},
                      {"A#1 _ A#2~ A#1 - A#1 G#2~ A#1 A#1 _ F2 A#1 - A#1 C#2~ D#2"},
                      {"C#2 _ C#2 C2~ - C2 C2 A#1~ F1 _ F1 F2~ - F1 C2 G#1~"}},
            .info = "ROLLING SUB: a sequenced sine sub in F that rolls under a four-to-the-floor kick, with octave "
                    "slides for movement. Line 3 moves to B-flat and line 4 walks back home.",
        },
        {
            .folder = "Distorted",
            .name = "Shaper Grind",
            .bpm = 132.0,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::Vco2Waveform, wave::kSquare},
                      {param::Vco2Level, 0.6f},
                      {param::Vco2FineTune, fineTuneSemitones(0.12)},
                      {param::VcoShaper, 0.7f},
                      {param::FilterCutoff, 0.35f},
                      {param::FilterResonance, 0.45f},
                      {param::EnvelopeMod, 0.5f},
                      {param::AccentAmount, 0.6f},
                      {param::AccentDecay, decaySeconds(0.25)},
                      {param::AccentVolume, 0.4f},
                      {param::VcfDecay, decaySeconds(0.4)},
                      {param::GateTime, 0.6f},
                      {param::GlideTime, glideMs(50.0)},
                      {param::MasterVolume, 0.47f}},
            .lines = {{"D2! D2 D3 D2 - D2 F2! D2 G2~ G#2 - D2! C3~ A2 F2 D2"},
                      {"D2! _ D2 C2~ D2 - D2! D3 - D2 F2~ E2 D2! - A1~ C2"},
                      {"G1! G1 G2 G1 - G1 A#1! G1 C2~ C#2 - G1! F2~ D2 A#1 G1"},
                      {"D2! D3 D2! D3 C3~ A2 F2! D2 - D2! D2 D2 F2!~ G2 A2~ C3"}},
            .info = "SHAPER GRIND: a saw and a slightly detuned square folded by the VCO-1&2 Shaper into a gritty, "
                    "buzzing line in D. Turn the Shaper down for a cleaner tone, up for more fold-over; the accents "
                    "push the filter into the grit.",
        },
        {
            .folder = "Distorted",
            .name = "Boost Fuzz",
            .play = Play::kMono,
            .bpm = 120.0,
            .filterMode = 2,
            .knobs = {{param::Vco1Waveform, wave::kSquare},
                      {param::Vco2Waveform, wave::kSaw},
                      {param::Vco2Range, range::k8Feet},
                      {param::Vco2Level, 0.4f},
                      {param::VcoBoost, 0.8f},
                      {param::VcoShaper, 0.5f},
                      {param::FilterCutoff, 0.38f},
                      {param::FilterResonance, 0.3f},
                      {param::EnvelopeMod, 0.4f},
                      {param::VcfDecay, decaySeconds(0.6)},
                      {param::VcfSustain, 0.3f},
                      {param::VcaSustain, 1.0f},
                      {param::VcaRelease, releaseSeconds(0.1)},
                      {param::GlideTime, glideMs(70.0)},
                      {param::MasterVolume, 0.54f}},
            .lines = {{"E1 E1 E2 E1 G1 - E1 A1~ A#1 B1 - E1 D2~ B1 A1 G1"},
                      {"E1 _ - E1 E2 - D2 - E1 _ - G1~ A1 - B1 D2"},
                      {"A1 A1 A2 A1 C2 - A1 D2~ D#2 E2 - A1 G2~ E2 D2 C2"},
                      {"B1 _ B2 B1 A1 _ A2 A1 G1 _ G2 G1 F#1~ G1 A1 B1"}},
            .info = "BOOST FUZZ: a boosted square and a saw an octave up through the shaper and the 18 dB filter: "
                    "a fuzz bass for rock and electro. The filter opens on each new note and settles at a third; "
                    "legato runs glide without retriggering it.",
        },
    };
}

}  // namespace tarvik::factory
