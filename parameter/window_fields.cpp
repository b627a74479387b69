#include "parameter/window_fields.h"

#include <algorithm>

namespace zelk20 {

namespace {

constexpr int voltage_base = 200;   // tenths at list position 0
constexpr int current_base = 10;
constexpr int current_step = 5;

}  // namespace

std::string tenths_item_text(std::uint8_t tenths) {
    return std::to_string(tenths / 10) + ',' + static_cast<char>('0' + tenths % 10);
}

std::string voltage_item(int position) { return tenths_item_text(static_cast<std::uint8_t>(voltage_base + position)); }

std::string current_item(int position) {
    return tenths_item_text(static_cast<std::uint8_t>(current_base + current_step * position));
}

std::uint8_t threshold_byte(std::string_view text) {
    // Digits, then optionally a comma and more digits; anything else is no number.
    long whole = 0;
    std::size_t at = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        whole = std::min(whole * 10 + (text[at] - '0'), 100000L);
    }
    if (at == 0) return 0;
    long tenths = whole * 10;
    if (at < text.size()) {
        if (text[at] != ',' || at + 1 == text.size()) return 0;
        const std::string_view fraction = text.substr(at + 1);
        if (!std::all_of(fraction.begin(), fraction.end(), [](char c) { return c >= '0' && c <= '9'; })) return 0;
        tenths += fraction[0] - '0';
        if (fraction.size() > 1 && fraction[1] >= '5') ++tenths;  // to the nearest tenth
    }
    return static_cast<std::uint8_t>(std::clamp(tenths, 0L, 255L));
}

std::optional<int> voltage_position(std::uint8_t byte) {
    const int position = byte - voltage_base;
    if (position < 0 || position >= voltage_items) return std::nullopt;
    return position;
}

std::optional<int> current_position(std::uint8_t byte) {
    const int position = byte / current_step - current_base / current_step;
    if (position < 0 || position >= current_items) return std::nullopt;
    return position;
}

std::optional<int> threshold_position(std::size_t threshold, std::uint8_t byte) {
    return threshold < parameter_byte::first_current_threshold ? voltage_position(byte) : current_position(byte);
}

std::array<std::uint8_t, 4> encode_check_boxes(const CheckBoxStates& ticked) {
    std::array<std::uint8_t, 4> bytes{};
    for (std::size_t k = 0; k < check_box_count; ++k) {
        if (ticked[k]) bytes[check_box_bits[k].byte - parameter_byte::port1_events] |= check_box_bits[k].bit;
    }
    return bytes;
}

CheckBoxStates decode_check_boxes(std::span<const std::uint8_t, 4> mask_bytes) {
    CheckBoxStates ticked{};
    for (std::size_t k = 0; k < check_box_count; ++k) {
        ticked[k] = (mask_bytes[check_box_bits[k].byte - parameter_byte::port1_events] & check_box_bits[k].bit) != 0;
    }
    return ticked;
}

std::optional<ParameterSet> as_window_writes(const ParameterSet& set) {
    ParameterSet written{};
    for (std::size_t k = 0; k < parameter_byte::threshold_count; ++k) {
        const std::optional<int> position = threshold_position(k, set[k]);
        if (!position) return std::nullopt;
        written[k] = threshold_byte(k < parameter_byte::first_current_threshold ? voltage_item(*position)
                                                                                 : current_item(*position));
    }
    const auto masks = encode_check_boxes(decode_check_boxes(std::span(set).subspan<parameter_byte::port1_events, 4>()));
    std::copy(masks.begin(), masks.end(), written.begin() + parameter_byte::port1_events);
    return written;
}

}  // namespace zelk20
