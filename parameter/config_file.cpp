#include "parameter/config_file.h"

#include <array>
#include <fstream>
#include <random>
#include <system_error>

namespace zelk20 {

namespace {

constexpr std::size_t threshold_line_size = 18;
constexpr std::size_t mask_line_size = 12;
constexpr std::size_t field_pitch = 3;  // two digits and a separator
constexpr char end_of_file = 0x1A;
// Longer lines are kept only this far: every valid line is shorter.
constexpr std::size_t kept_line_size = threshold_line_size + 1;

constexpr char hex_digits[] = "0123456789ABCDEF";

std::optional<std::uint8_t> hex_value(char high, char low) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    const int h = digit(high);
    const int l = digit(low);
    if (h < 0 || l < 0) return std::nullopt;
    return static_cast<std::uint8_t>(h * 16 + l);
}

std::array<std::string, 4> first_four_lines(std::span<const char> bytes) {
    std::array<std::string, 4> lines;
    std::size_t line = 0;
    for (const char c : bytes) {
        if (c == end_of_file || line == lines.size()) break;
        if (c == '\n') {
            ++line;
        } else if (c != '\r' && lines[line].size() < kept_line_size) {
            lines[line] += c;
        }
    }
    return lines;
}

// Reads the fields of one line: `count` fields, each checked by the separator
// after it; `code_for` gives the code of a wrong separator by field index.
// Returns false when a field's digits are not hexadecimal (reading stops).
template <typename CodeFor>
bool read_fields(const std::string& text, std::size_t count, std::size_t first_byte, CodeFor code_for,
                 ConfigFileRead& result) {
    for (std::size_t f = 0; f < count; ++f) {
        const std::size_t at = f * field_pitch;
        const char separator = f + 1 == count ? ';' : ',';
        if (text[at + 2] != separator) {
            result.code = code_for(f);
            continue;
        }
        const auto value = hex_value(text[at], text[at + 1]);
        if (!value) {
            result.malformed_field = {text[at], text[at + 1]};
            return false;
        }
        result.fields.push_back({first_byte + f, *value});
    }
    return true;
}

}  // namespace

std::string hex_byte(std::uint8_t value) { return {hex_digits[value >> 4], hex_digits[value & 0x0F]}; }

std::string write_config_file(const ParameterSet& set) {
    auto fields = [&set](std::size_t first, std::size_t count) {
        std::string line;
        for (std::size_t k = 0; k < count; ++k) line += hex_byte(set[first + k]) + (k + 1 == count ? ";" : ",");
        return line;
    };
    std::string text;
    for (const std::string& line : {std::string(config_header), fields(0, parameter_byte::threshold_count),
                                    fields(parameter_byte::port1_events, 4), std::string(config_trailer)}) {
        text += line + "\r\n";
    }
    return text;
}

ConfigFileRead read_config_file(std::span<const char> bytes) {
    const auto [header, thresholds, masks, trailer] = first_four_lines(bytes);
    ConfigFileRead result;
    if (header.size() != config_header.size() || trailer.size() != config_trailer.size()) {
        result.code = FileCheck::frame_length;
        return result;
    }
    if (header != config_header || trailer != config_trailer) {
        result.code = FileCheck::frame_text;
        return result;
    }
    if (thresholds.size() != threshold_line_size) {
        result.code = FileCheck::threshold_length;
    } else if (!read_fields(thresholds, parameter_byte::threshold_count, 0,
                            [](std::size_t) { return FileCheck::threshold_separator; }, result)) {
        return result;
    }
    if (masks.size() != mask_line_size) {
        result.code = FileCheck::mask_length;
    } else {
        read_fields(masks, 4, parameter_byte::port1_events, [](std::size_t f) {
            return f < 2 ? FileCheck::mask_separator_first : FileCheck::mask_separator_second;
        }, result);
    }
    return result;
}

std::string read_file_start(const std::filesystem::path& path, std::size_t limit) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::string bytes(limit, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(limit));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    return bytes;
}

bool save_file_safely(const std::filesystem::path& path, std::string_view contents) {
    std::random_device random;
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(random() % 1000000);
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        file.flush();
        if (!file) {
            file.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace zelk20
