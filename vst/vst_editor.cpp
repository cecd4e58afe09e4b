#include "vst/vst_editor.h"

namespace tarvik {

bool VstEditor::getRect(vst::ERect** rect) {
    if (!rect) return false;
    const gui::Rect r = gui_.windowRect();
    rect_ = {static_cast<vst::VstInt16>(r.top), static_cast<vst::VstInt16>(r.left), static_cast<vst::VstInt16>(r.bottom),
             static_cast<vst::VstInt16>(r.right)};
    *rect = &rect_;
    return true;
}

bool VstEditor::onKeyDown(vst::VstKeyCode& key) {
    gui::KeyEvent event;
    event.character = key.character >= 'A' && key.character <= 'Z' ? key.character - 'A' + 'a' : key.character;
    event.virtualKey = key.virt;
    // VST modifier bits: 1 Shift, 2 Alt, 4 Command (the Mac's), 8 Control.
    if (key.modifier & 1) event.modifiers |= gui::modifier::kShift;
    if (key.modifier & 2) event.modifiers |= gui::modifier::kAlt;
    if (key.modifier & (4 | 8)) event.modifiers |= gui::modifier::kControl;
    return gui_.keyDown(event);
}

int VstEditor::calm() {
    if (!gui_.caughtUp()) return kEditorBusy;
    return gui_.atRest() ? kEditorAtRest : kEditorCaughtUp;
}

bool VstEditor::setKnobMode(int mode) {
    gui_.setKnobMode(mode);
    return true;
}

}  // namespace tarvik
