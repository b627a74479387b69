#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "parameter/parameter_set.h"

// The parameter window's fields for a parameter set: the threshold lists
// with their item texts and positions, and the check boxes with their bits.
namespace zelk20 {

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

}  // namespace zelk20
