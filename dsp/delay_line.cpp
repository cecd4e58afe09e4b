#include "dsp/delay_line.h"

#include <algorithm>

namespace tarvik {

DelayLine::DelayLine() : buffer_(static_cast<std::size_t>(kLength), 0.0f) {}

void DelayLine::clear() { std::fill(buffer_.begin(), buffer_.end(), 0.0f); }

}  // namespace tarvik
