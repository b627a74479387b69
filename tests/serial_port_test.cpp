#include "link/serial_port.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iomanip>

#include <sys/wait.h>
#include <unistd.h>
#include <numeric>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/monitor_link.h"
#include "link/uucp_lock.h"
#include "sim/pseudo_terminal.h"

namespace zelk20 {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// A pseudo-terminal whose slave is opened as the port under test; the test
// plays the module on the master.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto opened = sim::PseudoTerminal::open();
        ASSERT_TRUE(opened) << "no pseudo-terminal";
        line.emplace(std::move(*opened));
        port = SerialPort::open(line->slave_path());
        ASSERT_TRUE(port.is_open()) << port.failure_text();
        port.set_line_9600_8n1();
    }

    // Sends `bytes` from the module side after `delay`, from another thread.
    void send_later(Bytes bytes, std::chrono::milliseconds delay) {
        senders.emplace_back([this, bytes = std::move(bytes), delay] {
            std::this_thread::sleep_for(delay);
            line->write(bytes);
        });
    }

    void TearDown() override {
        for (auto& sender : senders) sender.join();
    }

    std::optional<sim::PseudoTerminal> line;
    SerialPort port;
    std::vector<std::thread> senders;
};

SerialTimeouts read_timeouts(std::chrono::milliseconds interval, std::chrono::milliseconds multiplier,
                             std::chrono::milliseconds constant) {
    return {.read_interval = interval, .read_total_multiplier = multiplier, .read_total_constant = constant};
}

TEST_F(SerialPortTest, SilentLineReturnsNothingAfterTheTotal) {
    port.set_timeouts(monitor_timeouts);
    std::array<std::uint8_t, monitor_read_size> buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buffer), 0u);
    const auto took = since(start);
    EXPECT_GE(took, 120ms);  // 60 x 1 ms + 60 ms
    EXPECT_LT(took, 600ms);
}

TEST_F(SerialPortTest, ReadEndsWhenAllBytesAskedForAreIn) {
    port.set_timeouts(read_timeouts(500ms, 0ms, 5000ms));
    Bytes sent(60);
    std::iota(sent.begin(), sent.end(), std::uint8_t{1});
    line->write(sent);
    Bytes got(60);
    const auto start = Clock::now();
    ASSERT_EQ(port.read(got), 60u);
    EXPECT_LT(since(start), 400ms);  // neither the interval nor the total had to pass
    EXPECT_EQ(got, sent);
}

TEST_F(SerialPortTest, ReadEndsWhenTheIntervalPassesAfterAByte) {
    port.set_timeouts(read_timeouts(400ms, 0ms, 5000ms));
    send_later({1, 2, 3}, 0ms);
    send_later({4, 5}, 60ms);  // a gap far shorter than the interval: the read goes on
    Bytes got(60);
    const auto start = Clock::now();
    ASSERT_EQ(port.read(got), 5u);
    const auto took = since(start);
    EXPECT_GE(took, 60ms + 400ms);
    EXPECT_LT(took, 3000ms);  // far from the 5 s total
    EXPECT_EQ(Bytes(got.begin(), got.begin() + 5), (Bytes{1, 2, 3, 4, 5}));
}

TEST_F(SerialPortTest, ReadEndsAtTheTotalWhileBytesKeepComing) {
    port.set_timeouts(read_timeouts(200ms, 2ms, 100ms));  // total 100 + 2 x 100 = 300 ms
    senders.emplace_back([this] {
        for (std::uint8_t k = 0; k < 60; ++k) {
            line->write(Bytes{k});
            std::this_thread::sleep_for(10ms);
        }
    });
    Bytes got(100);
    const auto start = Clock::now();
    const std::size_t count = port.read(got);
    const auto took = since(start);
    EXPECT_GT(count, 0u);
    EXPECT_LT(count, 60u);
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 550ms);  // the bytes go on for 600 ms: the total ended the read
}

TEST_F(SerialPortTest, IntervalAloneWaitsForTheFirstByte) {
    port.set_timeouts(read_timeouts(50ms, 0ms, 0ms));  // no total: only bytes and the interval end it
    send_later({7}, 300ms);
    Bytes got(10);
    const auto start = Clock::now();
    ASSERT_EQ(port.read(got), 1u);
    EXPECT_GE(since(start), 300ms);
    EXPECT_EQ(got[0], 7);
}

TEST_F(SerialPortTest, MaxdwordIntervalReturnsAtOnceWithWhatIsThere) {
    port.set_timeouts(read_timeouts(SerialTimeouts::maxdword, 0ms, 0ms));
    Bytes got(10);
    auto start = Clock::now();
    EXPECT_EQ(port.read(got), 0u);
    EXPECT_LT(since(start), 100ms);
    line->write(Bytes{9, 8});
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(port.read(got), 2u);

    port.set_timeouts(read_timeouts(SerialTimeouts::maxdword, SerialTimeouts::maxdword, 400ms));
    send_later({5}, 50ms);
    start = Clock::now();
    EXPECT_EQ(port.read(got), 1u);  // the first byte ends it
    EXPECT_LT(since(start), 350ms);
}

TEST_F(SerialPortTest, EveryByteValuePassesUnchangedBothWays) {
    port.set_timeouts(read_timeouts(300ms, 0ms, 3000ms));
    Bytes all(256);
    std::iota(all.begin(), all.end(), std::uint8_t{0});  // 00, CR, LF, XON, XOFF, ^C, DEL among them
    ASSERT_TRUE(line->write(all));
    Bytes got(256);
    std::size_t count = 0;
    while (count < got.size()) {
        const std::size_t n = port.read(std::span(got).subspan(count));
        if (n == 0) break;
        count += n;
    }
    EXPECT_EQ(got, all);

    port.set_timeouts({.write_total_multiplier = 1ms, .write_total_constant = 100ms});
    EXPECT_EQ(port.write(all), all.size());
    Bytes echoed;
    std::array<std::uint8_t, 256> chunk{};
    while (echoed.size() < all.size()) {
        const std::size_t n = line->read(chunk, 1000ms);
        if (n == 0) break;
        echoed.insert(echoed.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
    }
    EXPECT_EQ(echoed, all);
}

TEST_F(SerialPortTest, SecondOpenOfTheSamePortFailsAsInUse) {
    SerialPort second = SerialPort::open(line->slave_path());
    EXPECT_FALSE(second.is_open());
    EXPECT_EQ(second.failure(), OpenFailure::in_use);
    EXPECT_FALSE(second.failure_text().empty());

    // The first holder is undisturbed.
    port.set_timeouts(read_timeouts(100ms, 0ms, 1000ms));
    line->write(Bytes{0x42});
    Bytes got(1);
    EXPECT_EQ(port.read(got), 1u);

    port.close();
    SerialPort third = SerialPort::open(line->slave_path());
    EXPECT_TRUE(third.is_open()) << "a closed port can be opened again: " << third.failure_text();
}

TEST_F(SerialPortTest, VanishedDeviceEndsTheReadWithTheBytesItHas) {
    port.set_timeouts(read_timeouts(2000ms, 0ms, 5000ms));
    send_later({1, 2, 3}, 0ms);
    senders.emplace_back([this] {
        std::this_thread::sleep_for(150ms);
        line->hang_up();
    });
    std::string lock;
    ASSERT_EQ(take_uucp_lock(line->slave_path(), lock), UucpLockResult::busy) << "the port holds its lock";
    Bytes got(60);
    auto start = Clock::now();
    EXPECT_EQ(port.read(got), 3u);
    EXPECT_LT(since(start), 1500ms);  // neither the 2 s interval nor the 5 s total
    EXPECT_TRUE(port.device_lost());

    // The handle and the lock file go with the device: a device that comes
    // back under the same name is kept out neither by us nor for others.
    EXPECT_FALSE(port.is_open());
    ASSERT_EQ(take_uucp_lock(line->slave_path(), lock), UucpLockResult::taken);
    release_uucp_lock(lock);

    // Later reads on the dead port return at once, without spinning.
    const std::clock_t cpu_before = std::clock();
    start = Clock::now();
    for (int k = 0; k < 20; ++k) EXPECT_EQ(port.read(got), 0u);
    EXPECT_LT(since(start), 1000ms);
    EXPECT_LT(double(std::clock() - cpu_before) / CLOCKS_PER_SEC, 0.5);
}

// Another serial program that knows only UUCP lock files holds the port.
TEST(SerialPort, UucpLockFilesAreTakenAndHonoured) {
    auto line = sim::PseudoTerminal::open();
    ASSERT_TRUE(line);
    const std::string name = uucp_lock_name(line->slave_path());
    EXPECT_EQ(name.rfind("LCK..pts_", 0), 0u) << name;

    std::string ours;
    {
        SerialPort port = SerialPort::open(line->slave_path());
        ASSERT_TRUE(port.is_open());
        ASSERT_EQ(take_uucp_lock(line->slave_path(), ours), UucpLockResult::busy) << "our own lock is there";
    }
    // Closed: our lock file is gone, so a lock taken now is a fresh one.
    ASSERT_EQ(take_uucp_lock(line->slave_path(), ours), UucpLockResult::taken);
    release_uucp_lock(ours);
    EXPECT_FALSE(std::filesystem::exists(ours));

    // A running program's lock: the open fails as in use, the lock stays.
    const std::string lock = ours;
    auto write_lock = [&lock](long pid) {
        std::ofstream file(lock);
        file << std::setw(10) << pid << "\n";
    };
    const pid_t other = ::fork();
    if (other == 0) {
        ::pause();
        ::_exit(0);
    }
    write_lock(other);
    SerialPort refused = SerialPort::open(line->slave_path());
    EXPECT_FALSE(refused.is_open());
    EXPECT_EQ(refused.failure(), OpenFailure::in_use);
    EXPECT_NE(refused.failure_text().find("LCK.."), std::string::npos) << refused.failure_text();
    EXPECT_TRUE(std::filesystem::exists(lock)) << "the other program's lock is left alone";

    // The program ends without removing its lock: the stale lock does not block.
    ::kill(other, SIGKILL);
    ::waitpid(other, nullptr, 0);
    SerialPort taken = SerialPort::open(line->slave_path());
    EXPECT_TRUE(taken.is_open()) << taken.failure_text();
    taken.close();
    EXPECT_FALSE(std::filesystem::exists(lock));
}

TEST(SerialPort, MissingDeviceGivesADeadPortThatReadsNothingAtOnce) {
    SerialPort port = SerialPort::open("/dev/zelk20-no-such-device");
    EXPECT_FALSE(port.is_open());
    EXPECT_EQ(port.failure(), OpenFailure::absent);
    port.request_queue_sizes(40, 40);
    port.set_line_9600_8n1();
    port.set_timeouts(monitor_timeouts);
    std::array<std::uint8_t, 60> buffer{};
    const auto start = Clock::now();
    EXPECT_EQ(port.read(buffer), 0u);
    EXPECT_EQ(port.write(buffer), 0u);
    EXPECT_LT(since(start), 50ms);
    port.close();  // harmless
}

TEST(SerialPort, MovedPortKeepsTheConnection) {
    auto line = sim::PseudoTerminal::open();
    ASSERT_TRUE(line);
    SerialPort first = SerialPort::open(line->slave_path());
    ASSERT_TRUE(first.is_open());
    SerialPort second = std::move(first);
    EXPECT_FALSE(first.is_open());  // NOLINT(bugprone-use-after-move): moved-from state is defined
    EXPECT_TRUE(second.is_open());
    second.set_timeouts(read_timeouts(100ms, 0ms, 1000ms));
    line->write(Bytes{0x5A});
    std::array<std::uint8_t, 1> got{};
    EXPECT_EQ(second.read(got), 1u);
    first = std::move(second);
    EXPECT_TRUE(first.is_open());
}

}  // namespace
}  // namespace zelk20
