// Tarvik's own questions through effVendorSpecific, told apart by the
// index. kEditorCalmQuery: how far the open editor has come with what it
// has to do by itself; tests and tools that drive the editor wait for an
// answer rather than for a time. kEditorMessageQuery: the message the panel
// shows, so that a test reads what the user reads.
#pragma once

#include "platform/vst2_abi.h"

namespace tarvik {

constexpr vst::VstInt32 kEditorCalmQuery = vst::fourCC('T', 'v', 'k', 'C');

enum EditorCalm : int {
    kEditorBusy = 0,       // input waits to be read, or a change to be painted
    kEditorCaughtUp = 1,   // every input read and answered, everything painted
    kEditorAtRest = 2,     // and nothing on its way to where it rests
};

// `ptr` points at a buffer of `value` bytes; it receives the text of the
// message the panel shows, cut to fit and ended by a zero (an empty text
// when none is shown). The answer is 1 while a message is shown, else 0.
constexpr vst::VstInt32 kEditorMessageQuery = vst::fourCC('T', 'v', 'k', 'M');

}  // namespace tarvik
