// Builds Standard MIDI File bytes for the tests, piece by piece.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tarvik::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes bigEndian(std::uint32_t value, int count) {
    Bytes bytes;
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8) bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return bytes;
}

inline Bytes chunk(std::string_view id, const Bytes& body) {
    return Bytes(id.begin(), id.end()) + bigEndian(static_cast<std::uint32_t>(body.size()), 4) + body;
}

inline Bytes header(int format, int tracks, int division) {
    return chunk("MThd", bigEndian(static_cast<std::uint32_t>(format), 2) + bigEndian(static_cast<std::uint32_t>(tracks), 2) +
                             bigEndian(static_cast<std::uint32_t>(division), 2));
}

inline Bytes track(const Bytes& events) { return chunk("MTrk", events); }

// A delta time as the file format writes it: seven bits a byte, high first.
inline Bytes delta(std::uint32_t ticks) {
    Bytes bytes{static_cast<std::uint8_t>(ticks & 0x7F)};
    while (ticks >>= 7) bytes.insert(bytes.begin(), static_cast<std::uint8_t>(0x80 | (ticks & 0x7F)));
    return bytes;
}

inline Bytes setTempo(std::uint32_t microsPerQuarter) { return Bytes{0xFF, 0x51, 0x03} + bigEndian(microsPerQuarter, 3); }

inline const Bytes kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};

}  // namespace tarvik::test
