#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How the main window shows the module's numbers: always a decimal comma,
// never a thousands separator, whatever the computer's regional settings.
namespace zelk20 {

inline constexpr std::string_view volt_unit = " Vdc";
inline constexpr std::string_view ampere_unit = " Adc";

// Hundredths: "24,12", "24,1", "24", "0,05", "0".
std::string plain_hundredths(std::uint16_t hundredths);
// Tenths: "23,5", "20", "0,5".
std::string plain_tenths(std::uint8_t tenths);

// A measured value with four characters before the unit: two decimals below
// 10, one from 10 on, the rest cut and not rounded ("24,1 Vdc" for 2419).
// From 100 on: the whole part, a comma and the tenths, cut ("100,5 Vdc").
std::string measured_text(std::uint16_t hundredths, std::string_view unit);

// A power-good threshold with one decimal: "[20,4 Vdc]".
std::string voltage_threshold_text(std::uint8_t tenths);
// An over-current threshold: "[3,50 Adc]" below 10 A, "[20,5 Adc]" from 10 A.
std::string current_threshold_text(std::uint8_t tenths);

}  // namespace zelk20
