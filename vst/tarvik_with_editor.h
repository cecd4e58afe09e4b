// The class the host instantiates: the plug-in with its editor hooked up.
// Until an editor is attached every editor path is skipped and the editor
// opcodes answer 0.
#pragma once

#include <functional>
#include <memory>

#include "vst/tarvik.h"

namespace tarvik {

// Makes the editor of a plug-in over its control face; the binary's entry
// passes the real one.
using EditorFactory = std::function<std::unique_ptr<AEffEditor>(ControlFace&)>;

class TarvikWithEditor : public Tarvik {
public:
    explicit TarvikWithEditor(vst::audioMasterCallback audioMaster, const EditorFactory& makeEditor = nullptr);
    ~TarvikWithEditor() override;

private:
    std::unique_ptr<AEffEditor> gui_;
};

}  // namespace tarvik
