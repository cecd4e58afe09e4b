// Several filters of one saturating mode stepped side by side, one per SIMD
// lane. A ladder is a serial chain (four stages and the feedback to the next
// sample), so one filter alone leaves the processor waiting on each result;
// eight voices' ladders side by side advance together at little more than
// the cost of one. Each lane computes exactly what its filter's own process()
// computes, so a voice sounds the same whichever lane or group it lands in.
#pragma once

#include "dsp/filter.h"
#include "dsp/lanes.h"

namespace tarvik {

class FilterLanes {
public:
    static constexpr int kLanes = lanes::kWidth;

    // The modes rendered here: those whose ladder feeds back through the
    // soft clipper (3, 4 and 6 to 14, and any value that plays as 3). The
    // others run filter by filter.
    static bool renders(int mode);

    // Renders `count` (at most kLanes) filters, each prepare()d for its own
    // frames[k] samples with its own input, scratch and output buffers, all
    // in `mode`: the same output and state as each filter's renderPrepared.
    static void render(Filter* const* filters, const int* frames, int count, int mode);

private:
    template <int M>
    static void renderMode(Filter* const* filters, const int* frames, int count);
};

}  // namespace tarvik
