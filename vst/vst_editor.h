// The editor as VST 2.4 hosts reach it: their editor opcodes, with VST's
// rectangles and key codes, turned into the editor window's own calls.
#pragma once

#include "gui/editor/tarvik_gui.h"
#include "vst/audio_effect.h"

namespace tarvik {

class VstEditor final : public AEffEditor {
public:
    explicit VstEditor(ControlFace& control) : gui_(control) {}

    bool getRect(vst::ERect** rect) override;
    bool open(void* parentWindow) override { return gui_.open(parentWindow); }
    void close() override { gui_.close(); }
    void idle() override { gui_.idle(); }
    bool onKeyDown(vst::VstKeyCode& key) override;
    // Key releases mean nothing to the panel: they stay with the host.
    bool onKeyUp(vst::VstKeyCode& /*key*/) override { return false; }
    bool setKnobMode(int mode) override;
    int calm() override;
    std::string shownMessage() override { return gui_.shownMessage(); }

private:
    gui::TarvikGui gui_;
    vst::ERect rect_{};  // handed to the host by getRect
};

}  // namespace tarvik
