#include "link/status_frame.h"

#include "link/frame_bytes.h"
#include "link/text_rules.h"

namespace zelk20 {

namespace {

std::uint16_t word_at(std::span<const std::uint8_t> frame, std::size_t offset) {
    return static_cast<std::uint16_t>(frame[offset] << 8 | frame[offset + 1]);
}

}  // namespace

StatusUpdate decode_status_frame(std::span<const std::uint8_t> frame) {
    using namespace status_layout;
    StatusUpdate update;
    if (frame.size() < flash_minimum) return update;
    update.flash = true;
    if (frame[0] != frame_start || frame[1] != frame_start_second) return update;
    if (frame.size() <= check) return update;
    if (xor_check(frame.subspan(alarm, check - alarm)) != frame[check]) return update;

    StatusDisplay& display = update.display.emplace();
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) {
        display.lamp_lit[lamp] = (frame[alarm] & lamp_alarm_bits[lamp]) != 0;
    }
    // Voltages and currents alternate in groups of three: U, I, Umin, Imax.
    for (std::size_t value = 0; value < measured_count; ++value) {
        const bool volts = (value / 3) % 2 == 0;
        display.labels[value] =
            measured_text(word_at(frame, first_measured + 2 * value), volts ? volt_unit : ampere_unit);
    }
    for (std::size_t threshold = 0; threshold < threshold_count; ++threshold) {
        const std::uint8_t tenths = frame[first_threshold + threshold];
        display.labels[measured_count + threshold] =
            threshold < threshold_count / 2 ? voltage_threshold_text(tenths) : current_threshold_text(tenths);
    }
    return update;
}

}  // namespace zelk20
