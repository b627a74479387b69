#include "cli/report.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "cli/cli_texts.h"
#include "parameter/config_file.h"

namespace zelk20::cli {

namespace {

constexpr std::array<std::string_view, 3> channels = {"In1", "In2", "Out"};

// The caption beside each lamp, in lamp order.
std::string joined(const std::vector<std::string_view>& items, std::string_view separator) {
    std::string text;
    for (std::string_view item : items) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

// The module sends single-byte characters; the terminal wants UTF-8.
std::string latin1_as_utf8(std::string_view text) {
    std::string utf8;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F) {
            utf8 += '?';
        } else if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

}  // namespace

std::string status_line(const StatusDisplay& display, Language language) {
    std::string line;
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
        auto label = [&](std::size_t group) -> const std::string& { return display.labels[3 * group + channel]; };
        line += std::string(channels[channel]) + ": " + label(0) + " " + label(1) + " min " + label(2) + " max " +
                label(3) + " " + label(4) + " " + label(5) + " | ";
    }
    std::vector<std::string_view> lit;
    for (std::size_t lamp = 0; lamp < lamp_count; ++lamp) {
        if (display.lamp_lit[lamp]) lit.push_back(text_of(lamp_captions[lamp], language));
    }
    line += lit.empty() ? std::string(texts::no_alarm.in(language)) : joined(lit, ", ");
    return line;
}

std::string configuration_text(const ReadAnswer& answer, Language language) {
    auto caption = [language](TextId meaning) { return text_of(meaning, language); };
    std::string text;
    for (auto [heading, first] : {std::pair{TextId::voltage_thresholds, parameter_byte::first_voltage_threshold},
                                  std::pair{TextId::current_thresholds, parameter_byte::first_current_threshold}}) {
        text.append(caption(heading)).append(":");
        for (std::size_t channel = 0; channel < channels.size(); ++channel) {
            text.append(" ").append(channels[channel]).append(" ").append(tenths_item_text(answer.set[first + channel]));
        }
        text.append("\n");
    }
    // The event rows, named as the lamps of their alarms, then the output
    // inversion: two boxes each, port 1 then port 2.
    for (std::size_t port = 0; port < 2; ++port) {
        std::vector<std::string_view> events;
        for (std::size_t row = 0; row < lamp_captions.size(); ++row) {
            const CheckBoxBit& box = check_box_bits[2 * row + port];
            if ((answer.set[box.byte] & box.bit) != 0) events.push_back(caption(lamp_captions[row]));
        }
        text.append(caption(port == 0 ? TextId::port1_column : TextId::port2_column)).append(": ");
        text.append(events.empty() ? std::string(texts::none.in(language)) : joined(events, ", "));
        const CheckBoxBit& inverted = check_box_bits[2 * lamp_captions.size() + port];
        if ((answer.set[inverted.byte] & inverted.bit) != 0) text.append("; ").append(caption(TextId::output_inverted));
        text.append("\n");
    }
    const CheckBoxBit& programming = check_box_bits.back();
    const bool allowed = (answer.set[programming.byte] & programming.bit) != 0;
    text.append(caption(TextId::programming_allowed)).append(": ").append((allowed ? texts::yes : texts::no).in(language)).append("\n");
    text.append(latin1_as_utf8(version_line(answer))).append("\n");
    text.append(latin1_as_utf8(fa_line(answer))).append("\n");
    return text;
}

std::string port_failure_text(std::string_view port, std::string_view device, OpenFailure failure,
                              std::string_view system_text, Language language) {
    std::string reason;
    switch (failure) {
    case OpenFailure::absent: reason = texts::port_absent.in(language); break;
    case OpenFailure::permission_denied: reason = texts::port_permission.in(language); break;
    case OpenFailure::in_use: reason = texts::port_in_use.in(language); break;
    case OpenFailure::none:
    case OpenFailure::other: break;
    }
    if (!system_text.empty()) reason += reason.empty() ? std::string(system_text) : " (" + std::string(system_text) + ")";
    const bool device_named = port == device || device.empty();  // empty: the port reaches no device
    const std::string where = device_named ? std::string(port) : std::string(port) + " (" + std::string(device) + ")";
    return fill(texts::port_unavailable.in(language), {where, reason});
}

std::string port_line(std::string_view port, const PortTarget& target, Language language) {
    std::string line(port);
    line.resize(std::max<std::size_t>(line.size() + 1, 7), ' ');
    const std::string device = device_text(target);
    if (device.empty()) return line + std::string(messages::no_device.in(language));
    const std::string about = description(target.port);
    return line + device + (about.empty() ? "" : ": " + about);
}

std::string hex_bytes(const ParameterSet& set) {
    std::string text;
    for (std::uint8_t byte : set) {
        if (!text.empty()) text += ' ';
        text += hex_byte(byte);
    }
    return text;
}

}  // namespace zelk20::cli
