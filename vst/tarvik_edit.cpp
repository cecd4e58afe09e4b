#include "vst/tarvik_edit.h"

namespace tarvik {

TarvikEdit::TarvikEdit(vst::audioMasterCallback audioMaster, const EditorFactory& makeEditor) : Tarvik(audioMaster) {
    if (makeEditor) gui_ = makeEditor(control());
    setEditor(gui_.get());
}

// The editor goes before the instrument whose face it holds.
TarvikEdit::~TarvikEdit() {
    setEditor(nullptr);
    gui_.reset();
}

}  // namespace tarvik
