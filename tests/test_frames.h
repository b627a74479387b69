#pragma once

// Status frames written out by hand for the tests: the layout as the module
// documents it, with the check byte computed here independently of the decoder.
#include <array>
#include <cstdint>
#include <vector>

namespace zelk20::test {

using Bytes = std::vector<std::uint8_t>;

// A 36-byte frame: alarm byte, twelve two-byte values, six thresholds.
inline Bytes status_frame(std::uint8_t alarm, const std::array<std::uint16_t, 12>& values,
                          const std::array<std::uint8_t, 6>& thresholds) {
    Bytes frame = {0xE4, 0x31, alarm};
    for (const std::uint16_t v : values) {
        frame.push_back(static_cast<std::uint8_t>(v >> 8));
        frame.push_back(static_cast<std::uint8_t>(v));
    }
    frame.insert(frame.end(), thresholds.begin(), thresholds.end());
    std::uint8_t check = 0;
    for (std::size_t k = 2; k <= 32; ++k) check ^= frame[k];
    frame.push_back(check);
    frame.push_back(0xE4);
    frame.push_back(0x36);
    return frame;
}

// A typical frame: inputs near 24 V, a few amperes, the maker's thresholds.
inline Bytes typical_frame(std::uint8_t alarm = 0x00) {
    return status_frame(alarm, {2412, 2398, 2380, 235, 185, 420, 2390, 2375, 2360, 250, 199, 447},
                        {204, 204, 204, 200, 200, 200});
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace zelk20::test
