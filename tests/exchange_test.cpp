#include "parameter/exchange.h"

#include <gtest/gtest.h>

#include "parameter/line_messages.h"
#include "parameter/transfer.h"
#include "tests/sim_fixture.h"

namespace zelk20 {
namespace {

using namespace std::chrono_literals;
using test::AnswerCase;
using test::SimulatedModuleTest;
using Clock = std::chrono::steady_clock;

// A program told to stop ends a transfer that is retrying at its next wait,
// not after all thirteen attempts.
TEST_F(SimulatedModuleTest, TransferStopsBetweenAttemptsWhenAsked) {
    module->set_faults({.silent = true});
    auto requests = [this] {
        const auto received = module->received();
        int count = 0;
        for (std::size_t k = 0; k + 1 < received.size(); ++k) count += received[k] == 0xFF && received[k + 1] == 0xFA;
        return count;
    };
    TransferSession session("COM1", [&] { return requests() >= 2; });
    const TransferResult result = session.load();
    EXPECT_EQ(result.end, TransferEnd::stopped);
    EXPECT_GE(result.attempts, 2);
    EXPECT_LT(result.attempts, 1 + retry_ticks);  // 2 unless the module took its second request late
    EXPECT_EQ(requests(), result.attempts);
}

TEST_F(SimulatedModuleTest, CommandExchangesOneRequest) {
    const auto answer = command("COM1", read_request);
    ASSERT_EQ(answer.size(), read_answer_size);
    const auto read = parse_read_answer(answer);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->set, maker_defaults);

    const WriteRequest request = write_request({0xFA, 0xFA, 0xFA, 0x0A, 0x0A, 0x0A, 0, 0, 0, 0});
    EXPECT_TRUE(write_answer_accepted(command("COM1", request), request));
    EXPECT_EQ(parse_read_answer(command("COM1", read_request))->set[0], 0xFA);
}

TEST_F(SimulatedModuleTest, CommandAnswerLimits) {
    const AnswerCase cases[] = {
        {"over 50 bytes: the first 50", {.answer_extra = 40}, 50},
        {"a gap of 120 ms ends the answer", {.answer_byte_gap = 120ms, .truncate_answer = 3}, 1},
        // 30 bytes 2 ms apart end well inside the 160 ms total, even on a busy machine.
        {"gaps of 2 ms do not", {.answer_byte_gap = 2ms}, 30},
        {"silent", {.silent = true}, 0},
    };
    for (const auto& c : cases) {
        module->set_faults(c.faults);
        std::this_thread::sleep_for(400ms);  // the rest of the last answer is out, and gone with the close
        const auto answer = command("COM1", read_request);
        EXPECT_EQ(answer.size(), c.size) << c.name;
    }
    // The 160 ms total ends an answer that trickles in: about 16 bytes at 10 ms each.
    module->set_faults({.answer_byte_gap = 10ms, .truncate_answer = 28});
    const std::size_t trickled = command("COM1", read_request).size();
    EXPECT_GE(trickled, 4u);
    EXPECT_LT(trickled, 28u);
}

TEST_F(SimulatedModuleTest, CommandEndsInTime) {
    module->set_faults({.silent = true});
    auto start = Clock::now();
    EXPECT_TRUE(command("COM1", read_request).empty());
    const auto silent = Clock::now() - start;
    EXPECT_GE(silent, 160ms);
    EXPECT_LT(silent, 1000ms);

    ports.map(2, "/dev/zelk20-no-such-port");
    start = Clock::now();
    EXPECT_TRUE(command("COM2", read_request).empty());
    EXPECT_LT(Clock::now() - start, 50ms) << "an absent port answers nothing at once";

    // Held by another: nothing, at once, and the holder is not disturbed.
    SerialPort holder = SerialPort::open(module->port_path());
    ASSERT_TRUE(holder.is_open());
    start = Clock::now();
    EXPECT_TRUE(command("COM1", read_request).empty());
    EXPECT_LT(Clock::now() - start, 50ms);
    EXPECT_TRUE(holder.is_open());
}

TEST_F(SimulatedModuleTest, CommandWithAnEmptyRequestOnlyReads) {
    const auto before = module->received().size();
    EXPECT_TRUE(command("COM1", {}).empty());
    EXPECT_EQ(module->received().size(), before);
}

}  // namespace
}  // namespace zelk20
