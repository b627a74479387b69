#include "parameter/line_messages.h"
#include "parameter/window_fields.h"

#include <clocale>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zelk20 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ParameterSet, ItemTextsGiveTheirBytesWhateverTheLocale) {
    struct Case {
        const char* text;
        int byte;
    };
    const Case cases[] = {{"20,0", 200}, {"20,4", 204}, {"25,0", 250}, {"1,0", 10}, {"1,5", 15},
                          {"21,0", 210}, {"20", 200},   {"", 0},       {"x", 0},    {"20.4", 0}};
    const char* before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before ? before : "C";
    for (const char* locale : {"C", "C.UTF-8", "en_US.UTF-8"}) {
        std::setlocale(LC_ALL, locale);  // a point as decimal separator must not matter
        for (const auto& c : cases) EXPECT_EQ(threshold_byte(c.text), c.byte) << c.text << " in " << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ParameterSet, ListItemsAndTheirBytesAgree) {
    EXPECT_EQ(voltage_item(0), "20,0");
    EXPECT_EQ(voltage_item(voltage_items - 1), "25,0");
    EXPECT_EQ(current_item(0), "1,0");
    EXPECT_EQ(current_item(current_items - 1), "21,0");
    for (int i = 0; i < voltage_items; ++i) EXPECT_EQ(voltage_position(threshold_byte(voltage_item(i))), i);
    for (int j = 0; j < current_items; ++j) EXPECT_EQ(current_position(threshold_byte(current_item(j))), j);
}

TEST(ParameterSet, ReceivedBytesSelectTheirListPosition) {
    struct Case {
        int byte;
        std::optional<int> voltage;
        std::optional<int> current;
    };
    const Case cases[] = {
        {250, 50, std::nullopt},           // "25,0"; no current list entry
        {255, std::nullopt, std::nullopt}, // above both lists
        {200, 0, 38},                      // "20,0"; "20,0" A
        {204, 4, 38},                      // "20,4"; between two current steps: the one below
        {210, 10, 40},                     // "21,0" A
        {214, 14, 40},
        {215, 15, std::nullopt},
        {25, std::nullopt, 3},             // not "22,5": nothing from 200 to 250
        {10, std::nullopt, 0},             // not "21,0"
        {199, std::nullopt, 37},
        {12, std::nullopt, 0},             // "1,0"
        {11, std::nullopt, 0},
        {9, std::nullopt, std::nullopt},
        {0, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(voltage_position(static_cast<std::uint8_t>(c.byte)), c.voltage) << c.byte;
        EXPECT_EQ(current_position(static_cast<std::uint8_t>(c.byte)), c.current) << c.byte;
    }
    for (int b = 0; b <= 9; ++b) EXPECT_EQ(current_position(static_cast<std::uint8_t>(b)), std::nullopt) << b;
}

TEST(ParameterSet, CheckBoxesCarryOnlyTheirBits) {
    CheckBoxStates all{};
    all.fill(true);
    EXPECT_EQ(encode_check_boxes(all), (std::array<std::uint8_t, 4>{0xBF, 0x03, 0xBF, 0x02}));

    // Bits without a box (0x40, port 2's 0x01) are ignored when read.
    const std::array<std::uint8_t, 4> full = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(decode_check_boxes(full), all);
    const std::array<std::uint8_t, 4> only_unboxed = {0x40, 0x00, 0x40, 0x01};
    EXPECT_EQ(decode_check_boxes(only_unboxed), CheckBoxStates{});

    const std::array<std::uint8_t, 4> port2_hardware = {0x00, 0x00, 0x80, 0x00};
    const CheckBoxStates ticked = decode_check_boxes(port2_hardware);
    for (std::size_t k = 0; k < check_box_count; ++k) {
        EXPECT_EQ(ticked[k], std::string(check_box_bits[k].name) == "port2_byte1_80") << check_box_bits[k].name;
    }
    // Every box's name says its port, its byte and its bit.
    for (const CheckBoxBit& box : check_box_bits) {
        const std::string name = box.name;
        const std::size_t port = name[4] == '1' ? 0 : 2;
        const std::size_t byte = 6 + port + (name[10] == '2' ? 1 : 0);
        EXPECT_EQ(box.byte, byte) << name;
        EXPECT_EQ(box.bit, std::stoi(name.substr(12), nullptr, 16)) << name;
    }
}

TEST(ParameterSet, MakersDefaultsGiveTheDocumentedWriteRequest) {
    EXPECT_EQ(maker_defaults, (ParameterSet{0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02}));
    const WriteRequest expected = {0xFF, 0xFD, 0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8,
                                   0x03, 0x03, 0x18, 0x02, 0xDD, 0xEE, 0x2D};
    const WriteRequest request = write_request(maker_defaults);
    EXPECT_EQ(request, expected);
    EXPECT_TRUE(write_answer_accepted(Bytes{0x2D}, request));
    EXPECT_TRUE(write_answer_accepted(Bytes{0x2D, 0x00, 0x17}, request));  // further bytes are ignored
    EXPECT_FALSE(write_answer_accepted(Bytes{0x2C}, request));
    EXPECT_FALSE(write_answer_accepted(Bytes{}, request));
    // The two fixed bytes alone give 33.
    EXPECT_EQ(write_request(ParameterSet{}).back(), 0x33);
}

Bytes valid_answer() {
    // E4 31, the defaults, "V1.3", "25110400731", two bytes, check byte (written out by hand).
    return {0xE4, 0x31, 0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02, 'V', '1', '.',
            '3',  '2',  '5',  '1',  '1',  '0',  '4',  '0',  '0',  '7',  '3',  '1',  0x00, 0x00, 0x52};
}

TEST(ParameterSet, ReadAnswers) {
    struct Case {
        const char* name;
        Bytes answer;
        bool accepted;
    };
    const Bytes full = valid_answer();
    Bytes longer = valid_answer();
    longer.insert(longer.end(), {0x11, 0x22, 0x33, 0xE4, 0x36});
    Bytes bad_header = valid_answer();
    bad_header[1] = 0x32;
    Bytes bad_check = valid_answer();
    bad_check[29] ^= 0x01;
    Bytes changed_payload = valid_answer();
    changed_payload[20] = 'X';
    const std::vector<Case> cases = {
        {"30 bytes", valid_answer(), true},
        {"29 bytes", Bytes(full.begin(), full.end() - 1), false},
        {"35 bytes, on the first 30", longer, true},
        {"wrong header", bad_header, false},
        {"wrong check byte", bad_check, false},
        {"changed Fa character", changed_payload, false},
        {"empty", {}, false},
    };
    for (const auto& c : cases) {
        const auto read = parse_read_answer(c.answer);
        EXPECT_EQ(read.has_value(), c.accepted) << c.name;
        if (read) {
            EXPECT_EQ(read->set, maker_defaults) << c.name;
            EXPECT_EQ(read->version, "V1.3") << c.name;
            EXPECT_EQ(read->fa_number, "25110400731") << c.name;
        }
    }
}

TEST(ParameterSet, WhatTheWindowWritesAfterShowingASet) {
    struct Case {
        const char* name;
        ParameterSet shown;
        std::optional<ParameterSet> written;
    };
    const Case cases[] = {
        {"the maker's defaults stay", maker_defaults, maker_defaults},
        {"list ends stay", {0xC8, 0xFA, 0xC8, 0x0A, 0xD2, 0x0A, 0xBF, 0x03, 0xBF, 0x02},
         ParameterSet{0xC8, 0xFA, 0xC8, 0x0A, 0xD2, 0x0A, 0xBF, 0x03, 0xBF, 0x02}},
        {"97 between two current steps goes to 96", {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0x97, 0x03, 0x03, 0x18, 0x02},
         ParameterSet{0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0x96, 0x03, 0x03, 0x18, 0x02}},
        {"bits without a box are dropped", {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0xFF, 0xFF, 0xFF, 0xFF},
         ParameterSet{0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0xBF, 0x03, 0xBF, 0x02}},
        {"voltage 19 selects nothing", {0x19, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0, 0, 0, 0}, std::nullopt},
        {"voltage FB selects nothing", {0xCC, 0xCC, 0xFB, 0xC8, 0xC8, 0xC8, 0, 0, 0, 0}, std::nullopt},
        {"current 09 selects nothing", {0xCC, 0xCC, 0xCC, 0x09, 0xC8, 0xC8, 0, 0, 0, 0}, std::nullopt},
        {"current D7 selects nothing", {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xD7, 0, 0, 0, 0}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(as_window_writes(c.shown), c.written) << c.name;
}

}  // namespace
}  // namespace zelk20
