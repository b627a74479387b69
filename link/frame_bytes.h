#pragma once

#include <cstdint>
#include <span>

namespace zelk20 {

// The pairs that open and close the module's messages: a status frame, and
// the read answer, start with E4 31; a status frame ends with E4 36.
inline constexpr std::uint8_t frame_start = 0xE4;
inline constexpr std::uint8_t frame_start_second = 0x31;  // '1'
inline constexpr std::uint8_t frame_end_first = 0xE4;
inline constexpr std::uint8_t frame_end_second = 0x36;    // '6'

// The module's check byte: the plain exclusive OR of `bytes`, from 0.
constexpr std::uint8_t xor_check(std::span<const std::uint8_t> bytes) {
    std::uint8_t check = 0;
    for (const std::uint8_t b : bytes) check ^= b;
    return check;
}

}  // namespace zelk20
