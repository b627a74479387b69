#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/serial_port.h"

namespace zelk20 {

// One parameter exchange: the answer ends at 50 bytes, after 160 ms in all,
// or when more than 80 ms pass between two bytes; the write is bounded by 30 ms.
inline constexpr SerialTimeouts exchange_timeouts{
    .read_interval = std::chrono::milliseconds(80),
    .read_total_multiplier = std::chrono::milliseconds(0),
    .read_total_constant = std::chrono::milliseconds(160),
    .write_total_multiplier = std::chrono::milliseconds(0),
    .write_total_constant = std::chrono::milliseconds(30),
};
inline constexpr std::size_t exchange_queue_bytes = 80;
inline constexpr std::size_t answer_cap = 50;

// One exchange's answer, and why the port could not be opened if it could not.
struct Exchange {
    std::vector<std::uint8_t> answer;
    OpenFailure open_failure = OpenFailure::none;
    std::string failure_text;  // the system's words for the failed open
};

// Opens the port under `port_name` (mapped by device_path) exclusively, writes
// `request` (nothing when empty), reads one answer, closes the port and
// returns the answer's bytes as they came: 0 to 50 of them. A port that
// cannot be opened gives an empty answer at once.
Exchange attempt_exchange(std::string_view port_name, std::span<const std::uint8_t> request);

// The answer of attempt_exchange(), for callers that need nothing else.
std::vector<std::uint8_t> command(std::string_view port_name, std::span<const std::uint8_t> request);

}  // namespace zelk20
