// Parameter changes on their way to the panel. The host may set parameters
// from any thread, its audio thread included, where the view tree must never
// be touched: the change is only marked here (one atomic OR, no lock, no
// allocation) and the editor's idle pass moves each marked value into its
// control on the GUI thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace tarvik {

class ParameterInbox {
public:
    static constexpr int kRoom = 128;

    void mark(int index) {
        if (index < 0 || index >= kRoom) return;
        words_[static_cast<std::size_t>(index / 64)].fetch_or(std::uint64_t{1} << (index % 64), std::memory_order_release);
    }

    // Calls take(index) once for every index marked since the last drain.
    template <typename Take>
    void drain(Take&& take) {
        for (std::size_t w = 0; w < words_.size(); ++w) {
            std::uint64_t bits = words_[w].exchange(0, std::memory_order_acquire);
            while (bits != 0) {
                const int bit = __builtin_ctzll(bits);
                bits &= bits - 1;
                take(static_cast<int>(w) * 64 + bit);
            }
        }
    }

private:
    std::array<std::atomic<std::uint64_t>, kRoom / 64> words_{};
};

}  // namespace tarvik
