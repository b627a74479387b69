#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "parameter/parameter_set.h"

// The messages that carry a parameter set on the line: the read request and
// its answer, the write request and its answer.
namespace zelk20 {

inline constexpr std::array<std::uint8_t, 2> read_request = {0xFF, 0xFA};

// Layout of the write request, offsets from its first byte: FF FD, the ten
// bytes, DD EE, and the XOR of the twelve bytes from offset 2 on.
namespace write_layout {
inline constexpr std::array<std::uint8_t, 2> start = {0xFF, 0xFD};
inline constexpr std::size_t set = 2;
inline constexpr std::array<std::uint8_t, 2> fixed = {0xDD, 0xEE};
inline constexpr std::size_t fixed_at = 12;
inline constexpr std::size_t check = 14;
inline constexpr std::size_t size = 15;
}  // namespace write_layout
inline constexpr std::size_t write_request_size = write_layout::size;
using WriteRequest = std::array<std::uint8_t, write_request_size>;

WriteRequest write_request(const ParameterSet& set);

// Layout of the read answer, offsets from its first byte: E4 31, the ten
// bytes, the version, the Fa number, two bytes not interpreted, and the XOR
// of the bytes from offset 2 to the one before the check byte.
namespace read_layout {
inline constexpr std::size_t set = 2;
inline constexpr std::size_t version = 12;
inline constexpr std::size_t version_size = 4;
inline constexpr std::size_t fa = 16;
inline constexpr std::size_t fa_size = 11;
inline constexpr std::size_t check = 29;
inline constexpr std::size_t size = 30;  // only these are looked at
}  // namespace read_layout

// A read answer as the window shows it.
struct ReadAnswer {
    ParameterSet set{};
    std::string version;    // four characters, as received
    std::string fa_number;  // eleven characters, as received
};
inline constexpr std::size_t read_answer_size = read_layout::size;

// The version and Fa lines the parameter window shows for an answer, with
// the answer's characters as received: "ZELK20-Version: V1.3", "Fa: 251104-00731".
std::string version_line(const ReadAnswer& answer);
std::string fa_line(const ReadAnswer& answer);

// Accepts an answer of at least 30 bytes with E4 31 and a check byte at 29
// equal to the XOR of bytes 2 to 28; looks at nothing after byte 29.
std::optional<ReadAnswer> parse_read_answer(std::span<const std::uint8_t> answer);

// A write is accepted when the answer's first byte repeats the request's check byte.
bool write_answer_accepted(std::span<const std::uint8_t> answer, const WriteRequest& request);

}  // namespace zelk20
