#include "cli/report.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

#include "cli/cli_texts.h"
#include "parameter/config_file.h"

namespace zelk20::cli {

namespace {

constexpr std::array<std::string_view, 3> channels = {"In1", "In2", "Out"};

// The caption beside each lamp, in lamp order.
constexpr std::array<std::string_view, lamp_count> lamp_captions = {"l_pgood1", "l_pgood2", "l_pgoodout", "l_igood1",
                                                                    "l_igood2", "l_igoodout", "l_hwerror"};

// Log columns after the time, in value label order, then one per alarm bit 0 to 7.
constexpr std::array<std::string_view, value_label_count> value_columns = {
    "u_in1_V",     "u_in2_V",     "u_out_V",     "i_in1_A",     "i_in2_A",     "i_out_A",
    "umin_in1_V",  "umin_in2_V",  "umin_out_V",  "imax_in1_A",  "imax_in2_A",  "imax_out_A",
    "pgood_in1_V", "pgood_in2_V", "pgood_out_V", "igood_in1_A", "igood_in2_A", "igood_out_A"};
constexpr std::array<std::string_view, 8> alarm_columns = {
    "alarm_pgood_in1",       "alarm_pgood_in2",       "alarm_pgood_out", "alarm_overcurrent_in1",
    "alarm_overcurrent_in2", "alarm_overcurrent_out", "alarm_bit6",      "alarm_hardware_fault"};

std::string decimal(unsigned value, int decimals) {
    std::array<char, 16> text{};
    const unsigned scale = decimals == 2 ? 100 : 10;
    std::snprintf(text.data(), text.size(), "%u.%0*u", value / scale, decimals, value % scale);
    return text.data();
}

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
        if (display.lamp_lit[lamp]) lit.push_back(text_of(main_window_texts, lamp_captions[lamp], language));
    }
    line += lit.empty() ? std::string(texts::no_alarm.in(language)) : joined(lit, ", ");
    return line;
}

std::string csv_header() {
    std::string header = "time";
    for (std::string_view column : value_columns) (header += ',') += column;
    for (std::string_view column : alarm_columns) (header += ',') += column;
    return header;
}

std::string csv_row(std::chrono::system_clock::time_point time, const StatusValues& values) {
    std::string row = iso8601_local(time);
    for (std::uint16_t hundredths : values.measured_hundredths) (row += ',') += decimal(hundredths, 2);
    for (std::uint8_t tenths : values.threshold_tenths) (row += ',') += decimal(tenths, 1);
    for (unsigned bit = 0; bit < alarm_columns.size(); ++bit) row += (values.alarm >> bit & 1) != 0 ? ",1" : ",0";
    return row;
}

std::string iso8601_local(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const std::time_t seconds = system_clock::to_time_t(time);
    const auto milliseconds = duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
    // Copied at once: both calls hand out the same static record.
    const std::tm local = *std::localtime(&seconds);
    const std::tm utc = *std::gmtime(&seconds);
    // The offset from the two broken-down times, since %z is not an offset everywhere.
    int day = local.tm_yday - utc.tm_yday;
    if (local.tm_year != utc.tm_year) day = local.tm_year > utc.tm_year ? 1 : -1;
    const int offset = day * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
    std::array<char, 96> text{};  // room for any int the compiler can see
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(milliseconds < 0 ? milliseconds + 1000 : milliseconds), offset < 0 ? '-' : '+',
                  std::abs(offset) / 60, std::abs(offset) % 60);
    return text.data();
}

std::string configuration_text(const ReadAnswer& answer, Language language) {
    auto caption = [language](std::string_view control) { return text_of(parameter_window_texts, control, language); };
    std::string text;
    for (auto [heading, first] : {std::pair{"l_pgood", parameter_byte::first_voltage_threshold},
                                  std::pair{"l_igood", parameter_byte::first_current_threshold}}) {
        text.append(caption(heading)).append(":");
        for (std::size_t channel = 0; channel < channels.size(); ++channel) {
            text.append(" ").append(channels[channel]).append(" ").append(tenths_item_text(answer.set[first + channel]));
        }
        text.append("\n");
    }
    // The event rows f1 to f7, then f8 (output inverted): two boxes each, port 1 then port 2.
    constexpr std::array<std::string_view, 7> event_rows = {"f1", "f2", "f3", "f4", "f5", "f6", "f7"};
    for (std::size_t port = 0; port < 2; ++port) {
        std::vector<std::string_view> events;
        for (std::size_t row = 0; row < event_rows.size(); ++row) {
            const CheckBoxBit& box = check_box_bits[2 * row + port];
            if ((answer.set[box.byte] & box.bit) != 0) events.push_back(caption(event_rows[row]));
        }
        text.append(caption(port == 0 ? "l_p1" : "l_p2")).append(": ");
        text.append(events.empty() ? std::string(texts::none.in(language)) : joined(events, ", "));
        const CheckBoxBit& inverted = check_box_bits[2 * event_rows.size() + port];
        if ((answer.set[inverted.byte] & inverted.bit) != 0) text.append("; ").append(caption("f8"));
        text.append("\n");
    }
    const CheckBoxBit& programming = check_box_bits.back();
    const bool allowed = (answer.set[programming.byte] & programming.bit) != 0;
    text.append(caption("f9")).append(": ").append((allowed ? texts::yes : texts::no).in(language)).append("\n");
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
