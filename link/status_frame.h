#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zelk20 {

// Layout of the module's status frame, offsets from the start byte.
namespace status_layout {
inline constexpr std::size_t alarm = 2;
inline constexpr std::size_t first_measured = 3;   // two bytes each, high byte first, hundredths
inline constexpr std::size_t measured_count = 12;
inline constexpr std::size_t first_threshold = 27; // one byte each, tenths: three voltage, then three current
inline constexpr std::size_t threshold_count = 6;
inline constexpr std::size_t check = 33;           // XOR of offsets 2 to 32
inline constexpr std::size_t frame_size = 36;      // as the module sends it, end pair included
// Shorter frames do not make the update indicator flash.
inline constexpr std::size_t flash_minimum = 30;
}  // namespace status_layout

// The seven lamps in the order of their alarm bits (there is no lamp 7, and
// bit 0x40 has no lamp).
inline constexpr std::size_t lamp_count = 7;
inline constexpr std::array<std::uint8_t, lamp_count> lamp_alarm_bits = {0x01, 0x02, 0x04, 0x08,
                                                                         0x10, 0x20, 0x80};

// The eighteen value labels in the order the frame fills them: the measured
// values (voltages, currents, lowest voltages, highest currents; In1, In2, Out
// each), then the power-good and the over-current thresholds.
inline constexpr std::size_t value_label_count = 18;
inline constexpr std::array<std::string_view, value_label_count> value_label_names = {
    "u1",     "u2",     "uout",    "i1",      "i2",      "iout",
    "umin1",  "umin2",  "uminout", "imax1",   "imax2",   "imaxout",
    "pgoodu1", "pgoodu2", "pgooduout", "igoodi1", "igoodi2", "igoodiout"};

// Measured values come in groups of three (In1, In2, Out): voltages,
// currents, lowest voltages, highest currents.
constexpr bool measured_in_volts(std::size_t value) { return (value / 3) % 2 == 0; }

// The numbers of an accepted frame, as the module sends them.
struct StatusValues {
    std::uint8_t alarm = 0;
    std::array<std::uint16_t, status_layout::measured_count> measured_hundredths{};  // in value label order
    std::array<std::uint8_t, status_layout::threshold_count> threshold_tenths{};
    friend bool operator==(const StatusValues&, const StatusValues&) = default;
};

// What an accepted frame shows.
struct StatusDisplay {
    std::array<bool, lamp_count> lamp_lit{};
    std::array<std::string, value_label_count> labels;

    friend bool operator==(const StatusDisplay&, const StatusDisplay&) = default;
};

// What one complete frame does to the main window.
struct StatusUpdate {
    bool flash = false;                    // the update indicator flashes
    std::optional<StatusDisplay> display;  // set when the frame is accepted; else all stays
};

// The numbers of a complete frame (start pair through end pair) when the frame
// is accepted: at least 34 bytes, the start pair, and the check byte at
// offset 33. Reads nothing past the frame's end.
std::optional<StatusValues> accepted_status_values(std::span<const std::uint8_t> frame);

// The lamps and the eighteen label texts for accepted numbers.
StatusDisplay status_display(const StatusValues& values);

// Checks a complete frame (start pair through end pair, as the assembler hands
// it on) and says what to show. Frames shorter than 30 bytes change nothing;
// 30 to 33 bytes flash the indicator but end before the check byte and are
// refused; from 34 bytes on the check byte at offset 33 decides. Reads nothing
// past the frame's end.
StatusUpdate decode_status_frame(std::span<const std::uint8_t> frame);

}  // namespace zelk20
