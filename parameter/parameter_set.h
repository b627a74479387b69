#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelk20 {

// The module's configuration as ten bytes, in the order the write request,
// the read answer, the maker's defaults and the configuration file carry it.
using ParameterSet = std::array<std::uint8_t, 10>;

namespace parameter_byte {
inline constexpr std::size_t first_voltage_threshold = 0;  // In1, In2, Out: tenths of a volt
inline constexpr std::size_t first_current_threshold = 3;  // In1, In2, Out: tenths of an ampere
inline constexpr std::size_t threshold_count = 6;
inline constexpr std::size_t port1_events = 6;
inline constexpr std::size_t port1_options = 7;  // 0x01 programming allowed, 0x02 output inverted
inline constexpr std::size_t port2_events = 8;
inline constexpr std::size_t port2_options = 9;  // 0x02 output inverted
}  // namespace parameter_byte

// 20,4 V on all three power-good thresholds, 20,0 A on all over-current
// thresholds, port 1: Uin1 and Uin2 below power good, programming allowed,
// inverted; port 2: over-current In1 and In2, inverted.
inline constexpr ParameterSet maker_defaults = {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02};

}  // namespace zelk20
