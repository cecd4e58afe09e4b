// Counts what real-time code must never do (allocate, lock, open files)
// while a guard is active on the current thread.
#pragma once

namespace tarvik::test {

struct AudioThreadViolations {
    int allocations = 0;
    int locks = 0;
    int fileOpens = 0;
    int total() const { return allocations + locks + fileOpens; }
};

class AudioThreadGuard {
public:
    AudioThreadGuard();
    ~AudioThreadGuard();
    AudioThreadGuard(const AudioThreadGuard&) = delete;
    AudioThreadGuard& operator=(const AudioThreadGuard&) = delete;
};

// What happened under a guard since the last reset.
AudioThreadViolations& audioThreadViolations();

}  // namespace tarvik::test
