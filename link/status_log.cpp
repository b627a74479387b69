#include "link/status_log.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace zelk20 {

namespace {

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

}  // namespace

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

std::string_view alarm_column(std::uint8_t bit) {
    for (std::size_t k = 0; k < alarm_columns.size(); ++k) {
        if (bit == 1u << k) return alarm_columns[k];
    }
    return {};
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

CsvFile::CsvFile(const std::filesystem::path& path, std::string_view header)
    : file_(path, std::ios::binary | std::ios::trunc) {
    add(header);
}

void CsvFile::add(std::string_view row) {
    file_ << row << "\r\n" << std::flush;
}

}  // namespace zelk20
