#include "link/status_frame.h"

#include "link/frame_bytes.h"
#include "link/text_rules.h"

namespace zelk20 {

namespace {

std::uint16_t word_at(std::span<const std::uint8_t> frame, std::size_t offset) {
    return static_cast<std::uint16_t>(frame[offset] << 8 | frame[offset + 1]);
}

}  // namespace

std::optional<StatusValues> accepted_status_values(std::span<const std::uint8_t> frame) {
    using namespace status_layout;
    if (frame.size() <= check) return std::nullopt;
    if (frame[0] != frame_start || frame[1] != frame_start_second) return std::nullopt;
    if (xor_check(frame.subspan(alarm, check - alarm)) != frame[check]) return std::nullopt;
    StatusValues values;
    values.alarm = frame[alarm];
    for (std::size_t value = 0; value < measured_count; ++value) {
        values.measured_hundredths[value] = word_at(frame, first_measured + 2 * value);
    }
    for (std::size_t threshold = 0; threshold < threshold_count; ++threshold) {
        values.threshold_tenths[threshold] = frame[first_threshold + threshold];
    }
    return values;
}

StatusDisplay status_display(const StatusValues& values) {
    using namespace status_layout;
    StatusDisplay display;
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) {
        display.lamp_lit[lamp] = (values.alarm & lamp_alarm_bits[lamp]) != 0;
    }
    for (std::size_t value = 0; value < measured_count; ++value) {
        display.labels[value] =
            measured_text(values.measured_hundredths[value], measured_in_volts(value) ? volt_unit : ampere_unit);
    }
    for (std::size_t threshold = 0; threshold < threshold_count; ++threshold) {
        const std::uint8_t tenths = values.threshold_tenths[threshold];
        display.labels[measured_count + threshold] =
            threshold < threshold_count / 2 ? voltage_threshold_text(tenths) : current_threshold_text(tenths);
    }
    return display;
}

StatusUpdate decode_status_frame(std::span<const std::uint8_t> frame) {
    StatusUpdate update;
    if (frame.size() < status_layout::flash_minimum) return update;
    update.flash = true;
    if (auto values = accepted_status_values(frame)) update.display = status_display(*values);
    return update;
}

}  // namespace zelk20
