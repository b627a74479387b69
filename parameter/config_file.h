#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "parameter/parameter_set.h"

namespace zelk20 {

// The configuration file: four lines, each ended by CR LF when we write it:
//   KORVA_ZELK20
//   CC,CC,CC,C8,C8,C8;     the six thresholds
//   03,03,18,02;           the four mask bytes
//   AE0DFDD12F249
inline constexpr std::string_view config_header = "KORVA_ZELK20";
inline constexpr std::string_view config_trailer = "AE0DFDD12F249";
inline constexpr std::size_t config_file_size = 63;

// A byte as the file writes it: two upper-case hexadecimal digits ("0A").
std::string hex_byte(std::uint8_t value);

// The file's text for a parameter set: upper-case hexadecimal, CR LF after every line.
std::string write_config_file(const ParameterSet& set);

// One field of the file that passed its check, in file order: the parameter
// byte it gives (0 to 9) and its value.
struct ConfigField {
    std::size_t byte;
    std::uint8_t value;
};

// What the checks of a read file found, by the code the status line shows
// ("Datei fehlerhaft C2"); a later failing check replaces an earlier one.
enum class FileCheck : int {
    correct = 0,
    threshold_separator = 1,    // threshold line of the right length, a separator wrong
    threshold_length = 2,       // threshold line not 18 long
    mask_separator_first = 3,   // mask line: the separator after field 1 or 2 wrong
    mask_separator_second = 4,  // the separator after field 3 or 4 wrong
    mask_length = 5,            // mask line not 12 long
    frame_text = 6,             // header or trailer of the right length but the wrong text
    frame_length = 7,           // header not 12 or trailer not 13 long; also an unreadable or empty file
};
constexpr int code_number(FileCheck check) { return static_cast<int>(check); }

struct ConfigFileRead {
    std::vector<ConfigField> fields;  // to be applied in order, even when the code is not 0
    FileCheck code = FileCheck::correct;
    // Set when a field's two characters are not hexadecimal: reading stopped
    // there, after the fields above. The two bytes as they are in the file.
    std::optional<std::array<char, 2>> malformed_field;
};

// Reads a configuration file from its bytes. A line ends at LF; a CR is never
// part of a line; 0x1A ends the file; lines after the fourth are ignored.
ConfigFileRead read_config_file(std::span<const char> bytes);

// The most a file is read for its four lines: far more than any valid file,
// so that a huge or binary file can neither exhaust memory nor stall the window.
inline constexpr std::size_t config_file_read_limit = 64 * 1024;

// The first `limit` bytes of a file; empty when it cannot be read.
std::string read_file_start(const std::filesystem::path& path, std::size_t limit = config_file_read_limit);

// Writes `contents` to a new file beside `path` and renames it over `path`,
// so that an existing file is never left half-written. False when the file
// could not be written; `path` is then as it was.
bool save_file_safely(const std::filesystem::path& path, std::string_view contents);

}  // namespace zelk20
