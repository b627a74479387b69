#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "link/status_frame.h"

// The log of accepted status frames that zelk20ctl monitor --csv and the
// history window's recording both write: a header, then a row per frame with
// its local time in ISO 8601 (milliseconds and offset), the twelve values in
// volts and amperes and the six thresholds with a decimal point, and one 0/1
// column per alarm bit.
namespace zelk20 {

std::string csv_header();
std::string csv_row(std::chrono::system_clock::time_point time, const StatusValues& values);
// The header's name for the alarm column of `bit` (0x01 to 0x80): "alarm_pgood_in1".
std::string_view alarm_column(std::uint8_t bit);

// Local time as 2026-12-10T14:05:09.042+01:00.
std::string iso8601_local(std::chrono::system_clock::time_point time);

// A CSV file written a line at a time, CR LF ended and flushed at once, so
// that a run cut short loses nothing already written.
class CsvFile {
public:
    // Creates or empties `path` and writes `header` as its first line.
    CsvFile(const std::filesystem::path& path, std::string_view header);

    void add(std::string_view row);
    // False once the file could not be created or a line could not be written.
    bool good() const { return static_cast<bool>(file_); }

private:
    std::ofstream file_;
};

}  // namespace zelk20
