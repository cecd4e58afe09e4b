// Patch cables as the patch stores them: pairs of socket indexes, output end
// first. Every word is loaded and stored atomically, so that the live list
// can be copied while it is replaced; the patch replaces it as a whole under
// a version number, so that a reader never takes one end of one cable and the
// other end of another for a cable (TarvikPatch::publishCables).
#pragma once

#include <atomic>
#include <cstdint>

namespace tarvik {

struct Connection {
    std::int32_t output;  // socket index of the cable's output end
    std::int32_t input;   // socket index of the cable's input end

    friend bool operator==(const Connection&, const Connection&) = default;
};

constexpr int kMaxCables = 128;

struct CableList {
    std::int32_t count;
    Connection pairs[kMaxCables];

    int size() const {
        const int n = std::atomic_ref<std::int32_t>(const_cast<std::int32_t&>(count)).load(std::memory_order_acquire);
        return n < 0 ? 0 : (n > kMaxCables ? kMaxCables : n);
    }
    Connection at(int i) const {
        auto& p = const_cast<Connection&>(pairs[i]);
        return {std::atomic_ref<std::int32_t>(p.output).load(std::memory_order_relaxed),
                std::atomic_ref<std::int32_t>(p.input).load(std::memory_order_relaxed)};
    }
    void set(int i, Connection c) {
        std::atomic_ref<std::int32_t>(pairs[i].output).store(c.output, std::memory_order_relaxed);
        std::atomic_ref<std::int32_t>(pairs[i].input).store(c.input, std::memory_order_relaxed);
    }
    void setSize(int n) { std::atomic_ref<std::int32_t>(count).store(n, std::memory_order_release); }

    // The same cables in the same order; the room beyond them does not count.
    friend bool operator==(const CableList& a, const CableList& b) {
        if (a.size() != b.size()) return false;
        for (int i = 0; i < a.size(); ++i)
            if (a.at(i) != b.at(i)) return false;
        return true;
    }
};
static_assert(sizeof(CableList) == 1028);

}  // namespace tarvik
