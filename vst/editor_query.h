// Tarvik's own question through effVendorSpecific, with kEditorCalmQuery as
// the index: how far the open editor has come with what it has to do by
// itself. Tests and tools that drive the editor wait for an answer rather
// than for a time.
#pragma once

#include "platform/vst2_abi.h"

namespace tarvik {

constexpr vst::VstInt32 kEditorCalmQuery = vst::fourCC('T', 'v', 'k', 'C');

enum EditorCalm : int {
    kEditorBusy = 0,       // input waits to be read, or a change to be painted
    kEditorCaughtUp = 1,   // every input read and answered, everything painted
    kEditorAtRest = 2,     // and nothing on its way to where it rests
};

}  // namespace tarvik
