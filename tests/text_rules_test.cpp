#include "link/text_rules.h"

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

struct PlainCase {
    unsigned value;
    const char* text;
};

TEST(TextRules, PlainTextOfHundredthsAndTenths) {
    const PlainCase hundredths[] = {{2412, "24,12"}, {2410, "24,1"}, {2400, "24"}, {5, "0,05"}, {0, "0"}};
    for (const auto& c : hundredths) {
        EXPECT_EQ(plain_hundredths(static_cast<std::uint16_t>(c.value)), c.text) << c.value;
    }
    const PlainCase tenths[] = {{235, "23,5"}, {200, "20"}, {5, "0,5"}};
    for (const auto& c : tenths) EXPECT_EQ(plain_tenths(static_cast<std::uint8_t>(c.value)), c.text) << c.value;
}

TEST(TextRules, MeasuredValuesHaveFourCharactersBeforeTheUnit) {
    const PlainCase cases[] = {
        {0, "0,00"},     {5, "0,05"},     {150, "1,50"},   {500, "5,00"},   {999, "9,99"},
        {1000, "10,0"},  {2410, "24,1"},  {2419, "24,1"},  {2412, "24,1"},  {1005, "10,0"},
        {9999, "99,9"},  {105, "1,05"},   {100, "1,00"},   {1050, "10,5"},
    };
    for (const auto& c : cases) {
        const auto r = static_cast<std::uint16_t>(c.value);
        EXPECT_EQ(measured_text(r, volt_unit), std::string(c.text) + " Vdc") << c.value;
        EXPECT_EQ(measured_text(r, ampere_unit), std::string(c.text) + " Adc") << c.value;
    }
}

TEST(TextRules, MeasuredValuesFromOneHundredShowTheTenthsCut) {
    const PlainCase cases[] = {{10000, "100,0"}, {10050, "100,5"}, {10099, "100,9"}, {25012, "250,1"},
                               {65535, "655,3"}};
    for (const auto& c : cases) {
        EXPECT_EQ(measured_text(static_cast<std::uint16_t>(c.value), volt_unit), std::string(c.text) + " Vdc");
    }
    EXPECT_EQ(measured_text(65535, ampere_unit), "655,3 Adc");
}

TEST(TextRules, PowerGoodThresholdsShowOneDecimal) {
    const PlainCase cases[] = {{0, "[0,0 Vdc]"},     {5, "[0,5 Vdc]"},     {200, "[20,0 Vdc]"},
                               {204, "[20,4 Vdc]"},  {235, "[23,5 Vdc]"},  {255, "[25,5 Vdc]"},
                               {100, "[10,0 Vdc]"},  {99, "[9,9 Vdc]"}};
    for (const auto& c : cases) EXPECT_EQ(voltage_threshold_text(static_cast<std::uint8_t>(c.value)), c.text);
}

TEST(TextRules, OverCurrentThresholdsShowTwoDecimalsBelowTenAmperes) {
    const PlainCase cases[] = {{0, "[0,00 Adc]"},   {5, "[0,50 Adc]"},   {10, "[1,00 Adc]"},
                               {15, "[1,50 Adc]"},  {35, "[3,50 Adc]"},  {99, "[9,90 Adc]"},
                               {100, "[10,0 Adc]"}, {205, "[20,5 Adc]"}, {210, "[21,0 Adc]"},
                               {255, "[25,5 Adc]"}};
    for (const auto& c : cases) EXPECT_EQ(current_threshold_text(static_cast<std::uint8_t>(c.value)), c.text);
}

}  // namespace
}  // namespace zelk20
