// The human-readable text of every parameter value, as hosts and the
// editor's floating display show it.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "patch/parameters.h"
#include "instrument/control_face.h"
#include "instrument/instrument.h"

namespace tarvik {

namespace {

// Tempo-synced rates and delay times, in beats (rates) or sixteenths (delays).
constexpr double kSyncRatios[] = {1.0 / 8, 1.0 / 7, 1.0 / 6, 1.0 / 5, 1.0 / 4, 1.0 / 3, 1.0 / 2, 1.0,
                                  2.0,     3.0,     4.0,     5.0,     6.0,     7.0,     8.0};
constexpr int kSyncSteps = 14;

// (int)(x) for a selector that has `count` positions; -1 when x is not a
// position (values above 1.0, NaN) so such a value writes no text.
int selectorPosition(double x, int count) {
    if (!(x >= 0.0 && x < count)) return -1;
    return static_cast<int>(x);
}

// (int)(x) held within 0..last; NaN counts as 0.
int limitedIndex(double x, int last) {
    if (!(x >= 0.0)) return 0;
    return x >= last ? last : static_cast<int>(x);
}

// The selector is scaled in single precision, as the knob stores it.
double syncRatio(float v) { return kSyncRatios[limitedIndex(v * static_cast<float>(kSyncSteps), kSyncSteps)]; }

void percent(char* text, double v) { std::snprintf(text, kValueTextRoom, "%2.0f%%", v * 100.0); }

void onOff(char* text, double v) { std::strcpy(text, v > 0.5 ? "On" : "Off"); }

// Envelope-style times span e^-k seconds at 0 to e^4 seconds at 1.
void timeText(char* text, double v, double k) {
    const float t = static_cast<float>(std::exp(v * 4.0 - k * (1.0 - v)));
    if (t < 1.0f)
        std::snprintf(text, kValueTextRoom, "%5.1f ms", static_cast<double>(t) * 1000.0);
    else
        std::snprintf(text, kValueTextRoom, "%5.1f s", static_cast<double>(t));
}

void named(char* text, double scaled, std::initializer_list<const char*> names) {
    const int i = selectorPosition(scaled, static_cast<int>(names.size()));
    if (i >= 0) std::strcpy(text, names.begin()[i]);
}

}  // namespace

void ControlFace::formatParameterValue(int index, float value, char* text) const {
    using namespace param;
    text[0] = 0;
    const double v = value;
    const EngineControl& engine = instrument_.engine_.control();
    const bool delaySyncState = state(state::DelaySync) != 0;

    switch (index) {
        case MasterTuning: std::snprintf(text, kValueTextRoom, "%+4.2f Semitones", (v - 0.5) * 24.0); break;
        case FilterCutoff:
            // The panel's cutoff law, fitted to the filter's measured response.
            std::snprintf(text, kValueTextRoom, "%5.0f Hz",
                          std::exp(3.55382348974682 * v * v * v - 5.10927176843211 * v * v + 7.84564704666656 * v +
                                   3.63197300287164));
            break;
        case FilterResonance:
        case EnvelopeMod:
        case AccentAmount:
        case VcoBoost:
        case VcoShaper:
        case Vco1PulseWidth:
        case Vco1FilterMod:
        case Vco2PulseWidth:
        case Vco2FreqMod:
        case Vco1Level:
        case Vco2Level:
        case NoiseLevel:
        case AuxLevel:
        case MgAmount:
        case AccentVolume:
        case VcaSustain:
        case VcfSustain:
        case DelayFeedback:
        case OutputVariable1:
        case OutputBias:
        case OutputVariable2: percent(text, v); break;
        case VcfTracking: std::snprintf(text, kValueTextRoom, "%2.0f%%", v * 200.0); break;
        case MasterVolume: {
            percent(text, v);
            const std::size_t used = std::strlen(text);
            if (v > 0.0) {
                const float db = 20.0f * std::log10(value) + 6.0f;
                std::snprintf(text + used, kValueTextRoom - used, " (%+.2fdB)", static_cast<double>(db));
            } else {
                std::snprintf(text + used, kValueTextRoom - used, " (-inf dB)");
            }
            break;
        }
        case Tempo:
        case Reserved:
        case Vco1Shape:
        case Vco2Shape: std::strcpy(text, "N/A"); break;
        case Vco2Mod: std::strcpy(text, parameter(Vco2Mod) > 0.0f ? "VCO-1 -> VCO-2" : "VCO-2 -> VCF"); break;
        case Vco1Waveform:
        case Vco2Waveform: named(text, v * 4.0, {"Saw", "Square", "Pulse", "Triangle", "Sine"}); break;
        case Vco1FineTune:
        case Vco2FineTune:
            std::snprintf(text, kValueTextRoom, "%+4.2f Semitones", static_cast<double>(value - 0.5f) * 96.0);
            break;
        case Vco1Range:
        case Vco2Range: named(text, v * 2.0, {"16'", "8'", "4'"}); break;
        case NgColor: {
            // A bar between the red (R) and white (W) ends of the noise colour.
            std::strcpy(text, "R -[         ]- W");
            text[4 + limitedIndex(std::floor(v * 8.0 + 0.5), 8)] = '|';
            break;
        }
        case GlideTime: std::snprintf(text, kValueTextRoom, "%5.0f ms", 1000.0 / (100.0 - 99.0 * v)); break;
        case GateTime:
            std::snprintf(text, kValueTextRoom, "%2.0f%%, %5.0f ms", v * 100.0,
                          v * engine.samplesPerSixteenth() / engine.sampleRate() * 1000.0);
            break;
        case MgWave: named(text, v * 4.0, {"Saw", "Square", "Triangle", "Sample&Hold", "Decay"}); break;
        case MgFrequency:
            if (delaySyncState || parameter(MgBpmSync) > 0.5f) {
                const double r = syncRatio(value);
                const double hz = r * engine.tempo() / 60.0;
                if (r >= 1.0)
                    std::snprintf(text, kValueTextRoom, "Bpm*%.1f (%.2f Hz)", r, hz);
                else
                    std::snprintf(text, kValueTextRoom, "Bpm/%.1f (%.2f Hz)", 1.0 / r, hz);
            } else {
                std::snprintf(text, kValueTextRoom, "%4.2f Hz", 0.1 * std::pow(2.0, 14.0 * v));
            }
            break;
        case MgModulation:
        case MgVco1Dest:
        case MgVco2Dest:
        case MgVcfDest:
        case MgVcaDest:
        case MgPw1Dest:
        case Ring1x2:
        case Sync2To1:
        case AccentExt:
        case AccentManual:
        case MgRetrigger:
        case MgAudioOutput:
        case MgBpmSync:
        case DelayBpmSync: onOff(text, v); break;
        case AccentDecay:
        case VcaDecay:
        case VcfDecay:
        case EnvFollowRelease:
        case OutputLagTime: timeText(text, v, 8.0); break;
        case VcaAttack:
        case VcfAttack:
        case EnvFollowAttack: timeText(text, v, 9.0); break;
        case VcaRelease:
        case VcfRelease: timeText(text, v, 7.0); break;
        case DelayAmount:
            if (v > 0.0)
                percent(text, v);
            else
                std::snprintf(text, kValueTextRoom, "%2.0f%% (Off)", v * 100.0);
            break;
        case DelayLeft:
        case DelayRight:
            if (delaySyncState || parameter(DelayBpmSync) > 0.5f) {
                const double r = syncRatio(value);
                if (r > 1.0)
                    std::snprintf(text, kValueTextRoom, "Bpm * %.2f", r);
                else if (r < 1.0)
                    std::snprintf(text, kValueTextRoom, "Bpm / %.2f", 1.0 / r);
                else
                    std::strcpy(text, "Bpm");
            } else {
                // The delay line holds 65536 samples; the shortest time is 15 ms.
                std::snprintf(text, kValueTextRoom, "%5.0f ms", v * 1000.0 * 65536.0 / engine.sampleRate() + (1.0 - v) * 15.0);
            }
            break;
        case TriggerMode: std::strcpy(text, parameter(TriggerMode) < 0.5f ? "Single" : "Multi"); break;
        case VegTriggerSource:
        case MegTriggerSource: std::strcpy(text, parameter(index) > 0.5f ? "Sequencer" : "Midi"); break;
        case Inverter1Mode:
        case Inverter2Mode: std::strcpy(text, parameter(index) > 0.5f ? "Voltage Converter" : "Inverter"); break;
        default: std::strcpy(text, "N/A"); break;
    }
}

}  // namespace tarvik
