#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// --- Threshold fields: list positions and item texts -------------------------

// Voltage lists: "20,0" to "25,0" in 0,1 steps; current lists "1,0" to "21,0" in 0,5 steps.
inline constexpr int voltage_items = 51;
inline constexpr int current_items = 41;

// The item text at a list position, with the decimal comma.
std::string voltage_item(int position);
std::string current_item(int position);

// A threshold in tenths written as the lists write their items: "20,4", "1,0".
std::string tenths_item_text(std::uint8_t tenths);

// The byte an item text stands for: read with the decimal comma whatever the
// process locale, times ten, rounded ("20,4" gives 204, "1,5" gives 15). A
// text that is no number gives 0.
std::uint8_t threshold_byte(std::string_view item_text);

// The list position a received byte selects, or none. Voltages: 200 to 250
// only (a byte such as 25 or 10 would otherwise wrap to a wrong value).
// Currents: byte / 5 - 2, so a byte between two steps selects the step below.
std::optional<int> voltage_position(std::uint8_t byte);
std::optional<int> current_position(std::uint8_t byte);
// By parameter byte index 0 to 5.
std::optional<int> threshold_position(std::size_t threshold, std::uint8_t byte);

// --- Check boxes ---------------------------------------------------------------

// One check box: its name in the window and the bit it stands for.
struct CheckBoxBit {
    const char* name;
    std::size_t byte;  // parameter byte 6 to 9
    std::uint8_t bit;
};
inline constexpr std::size_t check_box_count = 17;
// Row by row of the port grid (Port 1, Port 2), then the programming box.
// Bit 0x40 has no box; port 2 has no programming box.
inline constexpr std::array<CheckBoxBit, check_box_count> check_box_bits = {{
    {"port1_byte1_01", 6, 0x01}, {"port2_byte1_01", 8, 0x01},
    {"port1_byte1_02", 6, 0x02}, {"port2_byte1_02", 8, 0x02},
    {"port1_byte1_04", 6, 0x04}, {"port2_byte1_04", 8, 0x04},
    {"port1_byte1_08", 6, 0x08}, {"port2_byte1_08", 8, 0x08},
    {"port1_byte1_10", 6, 0x10}, {"port2_byte1_10", 8, 0x10},
    {"port1_byte1_20", 6, 0x20}, {"port2_byte1_20", 8, 0x20},
    {"port1_byte1_80", 6, 0x80}, {"port2_byte1_80", 8, 0x80},
    {"port1_byte2_02", 7, 0x02}, {"port2_byte2_02", 9, 0x02},
    {"port1_byte2_01", 7, 0x01},
}};
using CheckBoxStates = std::array<bool, check_box_count>;

// Bytes 6 to 9 from the boxes (bits without a box are 0), and back.
std::array<std::uint8_t, 4> encode_check_boxes(const CheckBoxStates& ticked);
CheckBoxStates decode_check_boxes(std::span<const std::uint8_t, 4> mask_bytes);

// What the parameter window writes after it has shown `set`: each threshold
// as the step its list selects, and only the bits that have a check box. None
// when a threshold selects no step, as the window then refuses to write.
std::optional<ParameterSet> as_window_writes(const ParameterSet& set);

// --- Messages on the line ------------------------------------------------------

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
