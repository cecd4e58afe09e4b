#include "vst/tarvik_with_editor.h"

namespace tarvik {

TarvikWithEditor::TarvikWithEditor(vst::audioMasterCallback audioMaster, const EditorFactory& makeEditor)
    : Tarvik(audioMaster) {
    if (makeEditor) gui_ = makeEditor(control());
    setEditor(gui_.get());
}

// The editor goes before the instrument whose face it holds.
TarvikWithEditor::~TarvikWithEditor() {
    setEditor(nullptr);
    gui_.reset();
}

}  // namespace tarvik
