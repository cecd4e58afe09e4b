// Lines that sit above the bass: VCO-2 hard-synced to VCO-1 and ring
// modulated with it, its pitch swept so the overtones move.
#include "patch/parameters.h"
#include "tools/factory/bank.h"
#include "tools/factory/knob_values.h"

namespace tarvik::factory {

std::vector<Recipe> leadRecipes() {
    return {
        {
            .folder = "Leads",
            .name = "Ring Sync Lead",
            .play = Play::kMono,
            .bpm = 120.0,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::Vco1Range, range::k8Feet},
                      {param::Vco2Waveform, wave::kSaw},
                      {param::Vco2Range, range::k8Feet},
                      {param::Vco2FineTune, fineTuneSemitones(7.0)},
                      {param::Vco2Level, 0.6f},
                      {param::Ring1x2, kOn},
                      {param::Sync2To1, kOn},
                      {param::MgWave, mg_wave::kTriangle},
                      {param::MgFrequency, mgFrequencyHz(0.35)},
                      {param::MgAmount, 0.5f},
                      {param::MgVco2Dest, 1.0f},
                      {param::FilterCutoff, 0.55f},
                      {param::FilterResonance, 0.3f},
                      {param::EnvelopeMod, 0.3f},
                      {param::VcfDecay, decaySeconds(0.8)},
                      {param::VcfSustain, 0.4f},
                      {param::VcaAttack, attackSeconds(0.006)},
                      {param::VcaSustain, 0.85f},
                      {param::VcaDecay, decaySeconds(1.0)},
                      {param::VcaRelease, releaseSeconds(0.25)},
                      {param::GlideTime, glideMs(80.0)},
                      {param::DelayAmount, 0.25f},
                      {param::DelayFeedback, 0.35f},
                      {param::DelayBpmSync, kOn},
                      {param::DelayLeft, syncRatio(3)},
                      {param::DelayRight, syncRatio(4)},
                      {param::MasterVolume, 0.82f}},
            .lines = {{"C3 _ D#3 F3~ G3 _ - A#3~ G3 F3 D#3~ F3 _ - C3 -"},
                      {"G3 _ _ F3 D#3 _ F3~ G3 - A#3 _ C4~ A#3 G3 _ -"},
                      {"C4 _ A#3 G3 _ F3 D#3~ F3 _ _ D#3 C3 _ _ - -"},
                      {"G3 _ G3 A#3~ C4 _ - G3 F3~ G3 _ D#3 F3~ D#3 C3 _"}},
            .info = "RING SYNC LEAD: VCO-2 hard-synced to VCO-1 a fifth above and ring modulated with it, its pitch "
                    "swept slowly by the MG so the overtones sing and move. Play it from middle C up; a dotted-eighth "
                    "echo on the left and a quarter on the right, in time with the tempo.",
        },
        {
            .folder = "Leads",
            .name = "Sync Scream",
            .bpm = 140.0,
            .filterMode = 3,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::Vco2Waveform, wave::kSaw},
                      {param::Vco2Range, range::k8Feet},
                      {param::Vco2FineTune, fineTuneSemitones(3.0)},
                      {param::Vco1Level, 0.4f},
                      {param::Vco2Level, 0.9f},
                      {param::Sync2To1, kOn},
                      {param::MgWave, mg_wave::kSampleHold},
                      {param::MgBpmSync, kOn},
                      {param::MgFrequency, syncRatio(4)},
                      {param::MgAmount, 0.6f},
                      {param::MgVco2Dest, 1.0f},
                      {param::FilterCutoff, 0.5f},
                      {param::FilterResonance, 0.5f},
                      {param::EnvelopeMod, 0.45f},
                      {param::AccentAmount, 0.6f},
                      {param::AccentDecay, decaySeconds(0.3)},
                      {param::AccentVolume, 0.4f},
                      {param::VcfDecay, decaySeconds(0.3)},
                      {param::GateTime, 0.7f},
                      {param::GlideTime, glideMs(40.0)},
                      {param::MasterVolume, 0.53f}},
            .lines = {{"A2! A3~ A2 - E3 A2 G3!~ A2 - A2 C4~ A3 G3 - E3! D3"},
                      {"A2 A2! C3 A2 D3~ E3 - A2! G3 A2 E3~ D3 C3! - A2 E3~"},
                      {"D3! D4~ D3 - A3 D3 C4!~ D3 - D3 F3~ D4 C4 - A3! G3"},
                      {"E3! E4~ E3 - B3 E3 D4!~ E3 - G3! A3~ B3 D4 - E4! _"}},
            .info = "SYNC SCREAM: a sequenced lead whose synced VCO-2 jumps to a new random pitch every sixteenth "
                    "(the MG in Sample&Hold, locked to the tempo), so each step has its own nasal colour. Accents "
                    "open the filter. In A minor, line 3 in D, line 4 in E.",
        },
    };
}

}  // namespace tarvik::factory
