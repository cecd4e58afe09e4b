#include "engine/voice.h"

namespace tarvik {

void Voice::noteOn(int newNote, int newVelocity) {
    note = newNote;
    velocity = newVelocity;
    active = 1;
    if (noteTable) targetPitch = noteTable[note];
    vcfEnvelope.stage = Envelope::kAttack;
    vcaEnvelope.stage = Envelope::kAttack;
    mg.retrigger();
    // The computed waveforms start a note from a fresh phase and fade in;
    // the wavetable ones run on, as an analogue oscillator would.
    if (!vco1.useWavetables) vco1.resetWaveform();
    if (!vco2.useWavetables) vco2.resetWaveform();
}

void Voice::legatoNote(int newNote, int /*newVelocity*/) {
    active = 1;
    legato = 1;
    if (noteTable) targetPitch = noteTable[newNote];
    if (retrigger && newNote != note) {
        vcfEnvelope.stage = Envelope::kAttack;
        vcaEnvelope.stage = Envelope::kAttack;
        mg.retrigger();
    }
    note = newNote;
}

void Voice::noteOff() {
    active = 0;
    legato = 0;
    vcfEnvelope.stage = Envelope::kRelease;
    vcaEnvelope.stage = Envelope::kRelease;
}

void Voice::silence() {
    active = 0;
    legato = 0;
    vcfEnvelope.stage = Envelope::kRelease;
    vcfEnvelope.level = 0.0;
    vcaEnvelope.stage = Envelope::kFastRelease;
}

void Voice::setSampleRate(double rate) {
    vco1.setSampleRate(rate);
    vco2.setSampleRate(rate);
    mg.setSampleRate(rate);
    attenuator1.setSampleRate(rate);
    attenuator2.setSampleRate(rate);
}

}  // namespace tarvik
