#include "link/status_frame.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/test_frames.h"

namespace zelk20 {
namespace {

using test::Bytes;

// Lamps in the order 1, 2, 3, 4, 5, 6, 8.
using Lamps = std::array<bool, lamp_count>;

TEST(StatusFrame, AlarmByteSwitchesTheLamps) {
    struct Case {
        std::uint8_t alarm;
        Lamps lit;
    };
    const Case cases[] = {
        {0x00, {false, false, false, false, false, false, false}},
        {0xFF, {true, true, true, true, true, true, true}},
        {0x40, {false, false, false, false, false, false, false}},  // bit 0x40 has no lamp
        {0x04, {false, false, true, false, false, false, false}},   // output power-good, the red lamp
        {0x80, {false, false, false, false, false, false, true}},
        {0x29, {true, false, false, true, false, true, false}},
    };
    for (const auto& c : cases) {
        const StatusUpdate update = decode_status_frame(test::typical_frame(c.alarm));
        ASSERT_TRUE(update.display) << int(c.alarm);
        EXPECT_EQ(update.display->lamp_lit, c.lit) << int(c.alarm);
    }
}

TEST(StatusFrame, AcceptedFrameFillsAllEighteenLabelsInOrder) {
    const Bytes frame = test::status_frame(
        0x00, {2412, 1000, 999, 150, 5, 0, 2419, 10050, 2400, 65535, 1234, 2000}, {204, 255, 5, 35, 210, 100});
    const StatusUpdate update = decode_status_frame(frame);
    ASSERT_TRUE(update.flash);
    ASSERT_TRUE(update.display);
    const std::array<std::string, value_label_count> expected = {
        "24,1 Vdc",   "10,0 Vdc",   "9,99 Vdc",   // u1 u2 uout
        "1,50 Adc",   "0,05 Adc",   "0,00 Adc",   // i1 i2 iout
        "24,1 Vdc",   "100,5 Vdc",  "24,0 Vdc",   // umin1 umin2 uminout
        "655,3 Adc",  "12,3 Adc",   "20,0 Adc",   // imax1 imax2 imaxout
        "[20,4 Vdc]", "[25,5 Vdc]", "[0,5 Vdc]",  // pgoodu1 pgoodu2 pgooduout
        "[3,50 Adc]", "[21,0 Adc]", "[10,0 Adc]", // igoodi1 igoodi2 igoodiout
    };
    EXPECT_EQ(update.display->labels, expected);
    EXPECT_EQ(value_label_names.front(), "u1");
    EXPECT_EQ(value_label_names.back(), "igoodiout");
}

TEST(StatusFrame, DocumentedValueBytes) {
    struct Case {
        std::size_t offset;
        std::uint8_t high, low;
        std::size_t label;
        const char* text;
    };
    const Case cases[] = {
        {3, 0x09, 0x6C, 0, "24,1 Vdc"},  {3, 0x03, 0xE8, 0, "10,0 Vdc"}, {3, 0x03, 0xE7, 0, "9,99 Vdc"},
        {3, 0x00, 0x00, 0, "0,00 Vdc"},  {9, 0x00, 0x96, 3, "1,50 Adc"}, {9, 0x00, 0x05, 3, "0,05 Adc"},
    };
    for (const auto& c : cases) {
        Bytes frame = test::typical_frame();
        frame[c.offset] = c.high;
        frame[c.offset + 1] = c.low;
        frame[33] = 0;
        for (std::size_t k = 2; k <= 32; ++k) frame[33] ^= frame[k];
        const StatusUpdate update = decode_status_frame(frame);
        ASSERT_TRUE(update.display);
        EXPECT_EQ(update.display->labels[c.label], c.text) << std::hex << int(c.high) << " " << int(c.low);
    }
}

TEST(StatusFrame, RefusedFramesChangeNothingButMayFlash) {
    struct Case {
        std::string name;
        Bytes frame;
        bool flash;
    };
    const Bytes good = test::typical_frame(0x01);
    Bytes changed_payload = good;
    changed_payload[4] ^= 0x01;
    Bytes bad_header = good;
    bad_header[1] = 0x32;
    auto first = [&good](std::size_t n) { return Bytes(good.begin(), good.begin() + static_cast<long>(n)); };

    const std::vector<Case> cases = {
        {"one payload byte changed", changed_payload, true},
        {"check byte changed", [&] { Bytes f = good; f[33] ^= 0x80; return f; }(), true},
        {"wrong second start byte", bad_header, true},
        {"4 bytes", {0xE4, 0x31, 0xE4, 0x36}, false},
        {"29 bytes", first(29), false},
        {"30 bytes end before the check byte", first(30), true},
        {"33 bytes end before the check byte", first(33), true},
    };
    for (const auto& c : cases) {
        const StatusUpdate update = decode_status_frame(c.frame);
        EXPECT_EQ(update.flash, c.flash) << c.name;
        EXPECT_FALSE(update.display) << c.name;
    }
}

TEST(StatusFrame, OnlyTheFirstThirtyFourBytesCount) {
    const Bytes good = test::typical_frame(0x12);
    const StatusDisplay expected = *decode_status_frame(good).display;

    const Bytes through_check(good.begin(), good.begin() + 34);  // ends right after the check byte
    Bytes fifty = good;
    fifty.resize(48, 0x77);
    fifty.push_back(0xE4);
    fifty.push_back(0x36);
    Bytes other_end = good;
    other_end[34] = 0x00;
    other_end[35] = 0x00;

    for (const Bytes* frame : std::array<const Bytes*, 3>{&through_check, &fifty, &other_end}) {
        const StatusUpdate update = decode_status_frame(*frame);
        ASSERT_TRUE(update.display) << frame->size();
        EXPECT_EQ(*update.display, expected) << frame->size();
    }
}

}  // namespace
}  // namespace zelk20
