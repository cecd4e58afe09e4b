// Patches whose character comes from the patch cables: each shows one thing
// the sockets can do that the knobs alone cannot.
#include "dsp/socket_table.h"
#include "patch/parameters.h"
#include "tools/factory/bank.h"
#include "tools/factory/knob_values.h"

namespace tarvik::factory {

std::vector<Recipe> patchedRecipes() {
    return {
        {
            .folder = "Patched",
            .name = "PWM Bass",
            .bpm = 120.0,
            .knobs = {{param::Vco1Waveform, wave::kPulse},
                      {param::Vco1PulseWidth, 0.5f},
                      {param::MgWave, mg_wave::kTriangle},
                      {param::MgFrequency, mgFrequencyHz(0.7)},
                      {param::MgAmount, 0.8f},
                      {param::FilterCutoff, 0.32f},
                      {param::FilterResonance, 0.35f},
                      {param::EnvelopeMod, 0.45f},
                      {param::VcfDecay, decaySeconds(0.5)},
                      {param::VcaDecay, decaySeconds(1.0)},
                      {param::GateTime, 0.75f},
                      {param::GlideTime, glideMs(60.0)},
                      {param::AccentAmount, 0.5f},
                      {param::AccentDecay, decaySeconds(0.3)},
                      {param::AccentVolume, 0.3f},
                      {param::MasterVolume, 0.83f}},
            .lines = {{"G1 _ G2 G1 - G1 A#1~ C2 G1 _ D2 G1 - F1~ G1 -"},
                      {"G1! - G1 G1 A#1 - C2~ D2 G1! - G1 F2 D2~ C2 A#1 -"},
                      {"C2 _ C3 C2 - C2 D#2~ F2 C2 _ G2 C2 - A#1~ C2 -"},
                      {"D2 _ D3 D2 - D2 F2~ G2 A1 _ A2 A1 - C2~ D2 -"}},
            .cables = {{socket::MgCvOutput, socket::Vco1PwCv}},
            .info = "PWM BASS: a cord from MG CV Output to VCO-1 PW CV sweeps the pulse width of the oscillator "
                    "with a slow triangle, so the line shimmers and thickens like two detuned oscillators. MG Amount "
                    "sets the depth of the sweep, MG Frequency its speed.",
        },
        {
            .folder = "Patched",
            .name = "Follower Wah",
            .bpm = 124.0,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::Vco2Waveform, wave::kSquare},
                      {param::Vco2Level, 0.5f},
                      {param::Vco2FineTune, fineTuneSemitones(-12.0)},
                      {param::FilterCutoff, 0.25f},
                      {param::FilterResonance, 0.7f},
                      {param::EnvelopeMod, 0.35f},
                      {param::VcfDecay, decaySeconds(0.3)},
                      {param::GateTime, 0.6f},
                      {param::EnvFollowAttack, attackSeconds(0.005)},
                      {param::EnvFollowRelease, decaySeconds(0.15)},
                      {param::MasterVolume, 1.00f}},
            .lines = {{"C2 C2 C3 C2 A#1 C2 - C2 C2 C2 D#2 C2 F2 C2 - G1"},
                      {"C2 - C3 - C2 - A#2 - C2 - G2 - C2 - D#2 F2"},
                      {"F1 F1 F2 F1 D#1 F1 - F1 F1 F1 G#1 F1 A#1 F1 - C2"},
                      {"G1 G1 G2 G1 F1 G1 - G1 A#1 A#1 A#2 A#1 D2 C2 A#1 G1"}},
            .cables = {{socket::EnvelopeFollower, socket::VcfCv}},
            .auxInput = true,
            .info = "FOLLOWER WAH: the AUX input is on and the Envelope Follower is patched to the VCF CV Input: "
                    "send a drum loop to the plug-in's audio input and every hit opens the filter of the line, a "
                    "wah that plays in time with the drums. The input itself is not heard (AUX Level 0); raise AUX "
                    "Level to mix it through the filter. Without input it plays as a plain resonant line.",
        },
        {
            .folder = "Patched",
            .name = "Accent Drive",
            .bpm = 134.0,
            .filterMode = 0,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::VcoShaper, 0.8f},
                      {param::FilterCutoff, 0.22f},
                      {param::FilterResonance, 0.75f},
                      {param::EnvelopeMod, 0.6f},
                      {param::AccentAmount, 0.7f},
                      {param::AccentDecay, decaySeconds(0.2)},
                      {param::AccentVolume, 0.3f},
                      {param::VcfDecay, decaySeconds(0.3)},
                      {param::GateTime, 0.55f},
                      {param::GlideTime, glideMs(60.0)},
                      {param::MasterVolume, 0.42f}},
            .lines = {{"D2! D2 D3 D2 D2! C3~ D2 - D2 F2! D2 G2~ D2 D2! A2 C3~"},
                      {"D2 D2! - D2 D3~ D2 C3! - D2 D2 A2! D2 F2~ G2 D2! -"},
                      {"A1! A1 A2 A1 A1! G2~ A1 - A1 C2! A1 D2~ A1 A1! E2 G2~"},
                      {"D2! D3! D2 D3! C3~ A2! F2 D2! - D2 D2! D2 F2!~ G2 A2!~ C3"}},
            .cables = {{socket::SeqAccentOut, socket::ShaperCv},
                       {socket::SeqNoteOut, socket::Attenuator1Input},
                       {socket::Attenuator1EighthOut, socket::VcfCv}},
            .info = "ACCENT DRIVE: Seq Accent CV Out drives the Shaper CV Input, so only the accented steps turn "
                    "to grit while the others stay clean; Seq Note CV Out, brought down to an eighth by Attenuator "
                    "1, opens the filter for the higher notes. Program accents to place the distortion.",
        },
        {
            .folder = "Patched",
            .name = "Wheel And Pressure Lead",
            .play = Play::kMono,
            .bpm = 120.0,
            .knobs = {{param::Vco1Waveform, wave::kSaw},
                      {param::Vco1Range, range::k8Feet},
                      {param::Vco2Waveform, wave::kSquare},
                      {param::Vco2Range, range::k8Feet},
                      {param::Vco2FineTune, fineTuneSemitones(0.08)},
                      {param::Vco2Level, 0.7f},
                      {param::FilterCutoff, 0.3f},
                      {param::FilterResonance, 0.55f},
                      {param::EnvelopeMod, 0.35f},
                      {param::VcfDecay, decaySeconds(0.5)},
                      {param::VcfSustain, 0.3f},
                      {param::VcaSustain, 0.9f},
                      {param::VcaRelease, releaseSeconds(0.2)},
                      {param::MgWave, mg_wave::kTriangle},
                      {param::MgFrequency, mgFrequencyHz(5.5)},
                      {param::MgAmount, 1.0f},
                      {param::MgVco1Dest, 0.03f},
                      {param::MgVco2Dest, 0.03f},
                      {param::GlideTime, glideMs(60.0)},
                      {param::MasterVolume, 0.96f}},
            .lines = {{"C3 _ D#3 _ F3 G3~ A#3 _ G3 _ F3 D#3~ F3 _ _ -"},
                      {"G3 _ F3 D#3 _ C3 _ A#2~ C3 _ _ _ - - G2 A#2"},
                      {"D#3 _ F3 _ G3 A#3~ C4 _ A#3 _ G3 F3~ G3 _ _ -"},
                      {"F3 _ D#3 _ D3 _ C3 _ D3 _ D#3 _ F3 _ G3 _"}},
            .cables = {{socket::ModWheel, socket::Attenuator1Input},
                       {socket::Attenuator1UnipolarOut, socket::VcfCv},
                       {socket::ChannelPressure, socket::MgAmountCv}},
            .info = "WHEEL AND PRESSURE LEAD: the modulation wheel, made unipolar by Attenuator 1 and patched to the "
                    "VCF CV Input, opens the filter from the Cutoff knob's setting at rest to wide open at full; "
                    "channel pressure (aftertouch) patched to MG Amount CV brings in vibrato as you press harder, "
                    "and none without pressure.",
        },
    };
}

}  // namespace tarvik::factory
