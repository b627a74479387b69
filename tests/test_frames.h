#pragma once

// Status frames written out by hand for the tests: the layout as the module
// documents it, with the check byte computed here independently of the decoder.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zelk20::test {

using Bytes = std::vector<std::uint8_t>;

// A 36-byte frame: alarm byte, twelve two-byte values, six thresholds.
inline Bytes status_frame(std::uint8_t alarm, const std::array<std::uint16_t, 12>& values,
                          const std::array<std::uint8_t, 6>& thresholds) {
    Bytes frame = {0xE4, 0x31, alarm};
    for (const std::uint16_t v : values) {
        frame.push_back(static_cast<std::uint8_t>(v >> 8));
        frame.push_back(static_cast<std::uint8_t>(v));
    }
    frame.insert(frame.end(), thresholds.begin(), thresholds.end());
    std::uint8_t check = 0;
    for (std::size_t k = 2; k <= 32; ++k) check ^= frame[k];
    frame.push_back(check);
    frame.push_back(0xE4);
    frame.push_back(0x36);
    return frame;
}

// A typical frame: inputs near 24 V, a few amperes, the maker's thresholds.
inline Bytes typical_frame(std::uint8_t alarm = 0x00) {
    return status_frame(alarm, {2412, 2398, 2380, 235, 185, 420, 2390, 2375, 2360, 250, 199, 447},
                        {204, 204, 204, 200, 200, 200});
}

// A typical frame that carries its number, for following frames end to end:
// I1 holds the number modulo 1000 and I2 the thousands (modulo 1000), as
// hundredths of an ampere, so that the main window shows them as "n,nn Adc".
// Every high byte is below 4, so no E4 36 can end such a frame early.
inline Bytes numbered_frame(std::size_t number) {
    return status_frame(0x00,
                        {2412, 2398, 2380, static_cast<std::uint16_t>(number % 1000),
                         static_cast<std::uint16_t>(number / 1000 % 1000), 420, 2390, 2375, 2360, 250, 199, 447},
                        {204, 204, 204, 200, 200, 200});
}

// The number a numbered frame shows in the I1 and I2 labels; none for other texts.
inline std::optional<std::size_t> shown_number(std::string_view i1, std::string_view i2) {
    // "n,nn Adc": hundredths below ten amperes.
    auto hundredths = [](std::string_view text) -> std::optional<std::size_t> {
        if (text.size() != 8 || text[1] != ',' || text.substr(4) != " Adc") return std::nullopt;
        for (const char digit : {text[0], text[2], text[3]}) {
            if (digit < '0' || digit > '9') return std::nullopt;
        }
        return static_cast<std::size_t>((text[0] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0'));
    };
    const auto low = hundredths(i1);
    const auto high = hundredths(i2);
    if (!low || !high) return std::nullopt;
    return *high * 1000 + *low;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

}  // namespace zelk20::test
