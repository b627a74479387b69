#include "sim/simulated_module.h"

#include <gtest/gtest.h>

#include "link/serial_port.h"
#include "link/status_frame.h"
#include "tests/sim_fixture.h"
#include "tests/test_frames.h"

namespace zelk20 {
namespace {

using test::AnswerCase;
using test::SimulatedModuleTest;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// The maker's defaults as the module documents them, and their write request.
const Bytes defaults = {0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02};
const Bytes defaults_write_request = {0xFF, 0xFD, 0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8,
                                      0x03, 0x03, 0x18, 0x02, 0xDD, 0xEE, 0x2D};

Bytes write_request(const Bytes& set) {
    Bytes request = {0xFF, 0xFD};
    for (const std::uint8_t b : set) request.push_back(b);
    request.push_back(0xDD);
    request.push_back(0xEE);
    std::uint8_t check = 0;
    for (std::size_t k = 2; k < request.size(); ++k) check ^= request[k];
    request.push_back(check);
    return request;
}

TEST_F(SimulatedModuleTest, ReadRequestGetsTheSetVersionAndFaNumber) {
    const Bytes expected = {0xE4, 0x31, 0xCC, 0xCC, 0xCC, 0xC8, 0xC8, 0xC8, 0x03, 0x03, 0x18, 0x02,
                            'V',  '1',  '.',  '3',  '2',  '5',  '1',  '1',  '0',  '4',  '0',  '0',
                            '7',  '3',  '1',  0x00, 0x00, 0x52};
    EXPECT_EQ(exchange({0xFF, 0xFA}), expected);
}

TEST_F(SimulatedModuleTest, DefaultsWriteRequestIsAnsweredByItsCheckByte) {
    module->set_parameters({0xD2, 0xD2, 0xD2, 0x0A, 0x0A, 0x0A, 0, 0, 0, 0});
    EXPECT_EQ(write_request(defaults), defaults_write_request);
    EXPECT_EQ(exchange(defaults_write_request), Bytes{0x2D});
    const auto held = module->parameters();
    EXPECT_EQ(Bytes(held.begin(), held.end()), defaults);
}

TEST_F(SimulatedModuleTest, WrittenSetIsReadBack) {
    const Bytes set = {0xFA, 0xC8, 0xD2, 0x0A, 0xD2, 0x64, 0x81, 0x02, 0x3F, 0x02};
    const Bytes request = write_request(set);
    EXPECT_EQ(exchange(request), Bytes{request.back()});
    const Bytes answer = exchange({0xFF, 0xFA});
    ASSERT_EQ(answer.size(), 30u);
    EXPECT_EQ(Bytes(answer.begin() + 2, answer.begin() + 12), set);
}

TEST_F(SimulatedModuleTest, FaultyWriteRequestsGetNoAnswerAndChangeNothing) {
    Bytes wrong_check = defaults_write_request;
    wrong_check.back() ^= 0x01;
    Bytes wrong_fixed = write_request(defaults);
    wrong_fixed[12] = 0xDE;
    wrong_fixed.back() ^= 0xDD ^ 0xDE;  // check byte right for the bytes sent
    module->set_parameters({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (const Bytes* request : std::array<const Bytes*, 2>{&wrong_check, &wrong_fixed}) {
        EXPECT_TRUE(exchange(*request).empty());
    }
    EXPECT_EQ(module->parameters(), (sim::ParameterBytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(module->answers_sent(), 0u);
}

TEST_F(SimulatedModuleTest, AnswerFaults) {
    const AnswerCase cases[] = {
        {"truncated to 29 bytes", {.truncate_answer = 29}, 29},
        {"25 bytes appended", {.answer_extra = 25}, 55},
        {"delayed", {.answer_delay = 200ms}, 30},
        {"gaps between bytes", {.answer_byte_gap = 10ms}, 30},
        {"a status frame ahead", {.answer_lead = test::typical_frame()}, 66},
        {"one pause within the reader's interval", {.answer_pause_after = 15, .answer_pause = 100ms}, 30},
        {"silent", {.silent = true}, 0},
    };
    for (const auto& c : cases) {
        module->set_faults(c.faults);
        const Bytes answer = exchange({0xFF, 0xFA});
        EXPECT_EQ(answer.size(), c.size) << c.name;
        if (!answer.empty()) {
            EXPECT_EQ(answer[0], 0xE4) << c.name;
        }
    }
}

TEST_F(SimulatedModuleTest, AnswerGapLongerThanTheIntervalSplitsIt) {
    module->set_faults({.answer_byte_gap = 120ms});
    EXPECT_EQ(exchange({0xFF, 0xFA}, 80ms).size(), 1u);  // the exchange's 80 ms interval ends it
    module->set_faults({.answer_pause_after = 15, .answer_pause = 150ms});
    std::this_thread::sleep_for(400ms);  // the last answer is over
    EXPECT_EQ(exchange({0xFF, 0xFA}, 80ms).size(), 15u);
    // What comes after the port is closed is lost, as on a real line: the
    // next exchange finds nothing old.
    std::this_thread::sleep_for(300ms);
    module->set_faults({.silent = true});
    EXPECT_TRUE(exchange({}, 80ms).empty());
}

class PacedModuleTest : public SimulatedModuleTest {
    sim::Options options() const override {
        return {.frame_period = 1ms, .byte_time = sim::line_byte_time, .frame_content = test::numbered_frame};
    }
};

TEST_F(PacedModuleTest, FramesCarryTheGivenContentBackToBackAtTheLineRate) {
    SerialPort port = SerialPort::open(module->port_path());
    ASSERT_TRUE(port.is_open());
    port.set_timeouts({.read_interval = 500ms, .read_total_constant = 3000ms});
    Bytes frames(3 * 36);
    ASSERT_EQ(port.read(std::span(frames).first(1)), 1u);
    const auto first_byte = std::chrono::steady_clock::now();
    ASSERT_EQ(port.read(std::span(frames).subspan(1)), frames.size() - 1);
    // 107 bytes at 1.04 ms each: never faster, however idle the machine.
    EXPECT_GE(std::chrono::steady_clock::now() - first_byte, 105ms);
    EXPECT_EQ(frames, test::concat({test::numbered_frame(1), test::numbered_frame(2), test::numbered_frame(3)}));
}

}  // namespace
}  // namespace zelk20
