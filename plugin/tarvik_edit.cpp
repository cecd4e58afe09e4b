#include "plugin/tarvik_edit.h"

namespace tarvik {

using namespace vst;

TarvikEdit::TarvikEdit(audioMasterCallback audioMaster, const EditorFactory& makeEditor) : Tarvik(audioMaster) {
    if (makeEditor) gui_ = makeEditor(*this);
    setEditor(gui_.get());
}

TarvikEdit::~TarvikEdit() { setEditor(nullptr); }

void TarvikEdit::setParameter(VstInt32 index, float value) {
    Tarvik::setParameter(index, value);
    if (gui_) gui_->setParameter(index, value);
}

void TarvikEdit::setProgram(VstInt32 program) {
    Tarvik::setProgram(program);
    if (gui_) gui_->programChanged();
}

void TarvikEdit::setProgramName(char* /*name*/) {
    if (gui_) gui_->programNameChanged();
}

// The engine keeps the first 64 events; the editor sees every MIDI message
// (its activity light, program changes and bank selects).
VstInt32 TarvikEdit::processEvents(VstEvents* events) {
    const VstInt32 answer = Tarvik::processEvents(events);
    if (!gui_) return answer;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* e = events->events[i];
        if (!e || e->type != kVstMidiType) continue;
        const auto* m = reinterpret_cast<const VstMidiEvent*>(e);
        gui_->midiMessage(static_cast<unsigned char>(m->midiData[0]), m->midiData[1] & 127, m->midiData[2] & 127);
    }
    return answer;
}

}  // namespace tarvik
