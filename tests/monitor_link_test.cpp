#include "link/monitor_link.h"

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>

#include "link/port_list.h"
#include "link/status_frame.h"
#include "sim/pseudo_terminal.h"
#include "tests/sim_fixture.h"
#include "tests/test_frames.h"

namespace zelk20 {
namespace {

using namespace std::chrono_literals;
using test::SimulatedModuleTest;
using test::wait_until;

struct Tally {
    std::size_t frames = 0;
    std::size_t accepted = 0;
    std::vector<std::uint8_t> alarms;
};

// Runs the poll tick as the main window's timer would, every 50 ms, with
// the port list on `port` (1 for COM1).
Tally poll_for(MonitorLink& link, int port, std::chrono::milliseconds duration) {
    Tally tally;
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        link.select_port(port);
        for (const Frame& frame : link.poll()) {
            ++tally.frames;
            const StatusUpdate update = decode_status_frame(frame.bytes());
            if (update.display) {
                ++tally.accepted;
                tally.alarms.push_back(frame.bytes()[2]);
            }
        }
        std::this_thread::sleep_for(50ms);
    }
    return tally;
}

TEST_F(SimulatedModuleTest, MonitorShowsTheModulesFrames) {
    MonitorLink link;
    EXPECT_TRUE(link.current_port_name().empty());
    const Tally tally = poll_for(link, 1, 1500ms);
    EXPECT_EQ(link.current_port_name(), "COM1");
    EXPECT_TRUE(link.port().is_open());
    EXPECT_GE(tally.accepted, 3u);
    EXPECT_EQ(tally.accepted, tally.frames);
    EXPECT_FALSE(link.watchdog());
}

TEST_F(SimulatedModuleTest, ChunkedNoisyStreamKeepsEveryGoodFrameAndNoBadOne) {
    module->set_faults({.bad_check_every = 3, .noise_bytes = 25, .chunk_size = 7, .chunk_gap = 12ms});
    MonitorLink link;
    const std::size_t sent_before = module->frames_sent();
    const Tally tally = poll_for(link, 1, 3000ms);
    const std::size_t sent = module->frames_sent() - sent_before;
    ASSERT_GE(sent, 6u);
    // Frames are counted when they begin to go out; the last may be in flight.
    EXPECT_GE(tally.frames + 1, sent);
    EXPECT_LE(tally.frames, sent);
    EXPECT_GT(tally.accepted, 0u);
    EXPECT_LT(tally.accepted, tally.frames);  // every third was refused
    EXPECT_GE(tally.accepted * 3 + 3, tally.frames * 2);
}

TEST_F(SimulatedModuleTest, PickingAnotherPortClosesTheFirstAndOpensIt) {
    auto second = sim::SimulatedModule::start();
    ASSERT_TRUE(second);
    ports.map(5, second->port_path());
    module->set_faults({.alarm = 0x01});
    second->set_faults({.alarm = 0x80});

    MonitorLink link;
    Tally tally = poll_for(link, 1, 700ms);
    ASSERT_FALSE(tally.alarms.empty());
    EXPECT_EQ(tally.alarms.back(), 0x01);

    tally = poll_for(link, 5, 900ms);
    EXPECT_EQ(link.current_port_name(), "COM5");
    ASSERT_FALSE(tally.alarms.empty());
    EXPECT_EQ(tally.alarms.back(), 0x80);
    EXPECT_TRUE(SerialPort::open(module->port_path()).is_open()) << "COM1 was given up";
    EXPECT_FALSE(SerialPort::open(second->port_path()).is_open()) << "COM5 is held";
}

TEST_F(SimulatedModuleTest, PortThatCannotBeOpenedReadsNothingAndAnotherPickWorks) {
    ports.map(2, module->port_path());
    ports.map(1, "/dev/zelk20-no-such-port");
    MonitorLink link;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(link.poll().empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_FALSE(link.port().is_open());
    EXPECT_EQ(link.port().failure(), OpenFailure::absent);
    EXPECT_TRUE(link.watchdog());

    EXPECT_GE(poll_for(link, 2, 1000ms).accepted, 2u);
    EXPECT_EQ(link.current_port_name(), "COM2");
}

// COM11 on a machine with fewer serial ports reaches no device: absent, and
// tried again about once a second, so a device that turns up is found.
TEST(MonitorLink, PortBeyondTheSystemsListIsAbsentUntilADeviceTurnsUp) {
    test::PortMapping ports;
    ports.unmap(11);
    if (system_ports().size() >= 11) GTEST_SKIP() << "this machine has eleven serial ports";
    MonitorLink link("COM11");
    EXPECT_TRUE(link.poll().empty());
    EXPECT_FALSE(link.port().is_open());
    EXPECT_EQ(link.port().failure(), OpenFailure::absent);

    auto module = sim::SimulatedModule::start();
    ASSERT_TRUE(module);
    ports.map(11, module->port_path());
    EXPECT_TRUE(test::wait_until(
        [&] {
            const bool got = !link.poll().empty();
            std::this_thread::sleep_for(50ms);
            return got;
        },
        5000ms));
    EXPECT_EQ(link.current_port_name(), "COM11");
}

TEST_F(SimulatedModuleTest, WatchdogSeesASilentSecondOnly) {
    MonitorLink link;
    poll_for(link, 1, 500ms);
    EXPECT_FALSE(link.watchdog());
    module->set_faults({.silent = true});
    poll_for(link, 1, 400ms);  // a frame may still have been on its way
    link.watchdog();
    poll_for(link, 1, 500ms);
    EXPECT_TRUE(link.watchdog());
    EXPECT_TRUE(link.watchdog()) << "still silent";
    module->set_faults({});
    EXPECT_TRUE(wait_until([&] { return !link.poll().empty(); }));
    EXPECT_FALSE(link.watchdog());
}

TEST_F(SimulatedModuleTest, HandOverGivesThePortUpAndTakesItBack) {
    MonitorLink link;
    ASSERT_GT(poll_for(link, 1, 600ms).accepted, 0u);
    link.close();
    {
        SerialPort parameter_side = SerialPort::open(module->port_path());
        EXPECT_TRUE(parameter_side.is_open()) << parameter_side.failure_text();
    }
    link.open();
    EXPECT_TRUE(link.port().is_open());
    EXPECT_EQ(link.current_port_name(), "COM1");
    EXPECT_FALSE(SerialPort::open(module->port_path()).is_open()) << "taken back: held again";
    EXPECT_TRUE(wait_until([&] { return !link.poll().empty(); }));
}

TEST(MonitorLink, PartialFrameSurvivesTheHandOver) {
    auto line = sim::PseudoTerminal::open();
    ASSERT_TRUE(line);
    const test::PortMapping ports(1, line->slave_path());
    const test::Bytes frame = test::typical_frame(0x04);
    MonitorLink link;
    line->write(std::span(frame).first(20));
    EXPECT_TRUE(link.poll().empty());
    link.close();
    link.open();
    line->write(std::span(frame).subspan(20));
    std::vector<Frame> frames;
    ASSERT_TRUE(wait_until([&] {
        for (const Frame& f : link.poll()) frames.push_back(f);
        return !frames.empty();
    }));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(test::Bytes(frames[0].bytes().begin(), frames[0].bytes().end()), frame);
}

TEST_F(SimulatedModuleTest, ModuleStreamsOnlyWhileThePortIsHeldAndPausesForRequests) {
    {
        MonitorLink link;
        ASSERT_GT(poll_for(link, 1, 600ms).frames, 0u);
    }
    std::this_thread::sleep_for(100ms);
    std::size_t before = module->frames_sent();
    std::this_thread::sleep_for(600ms);
    EXPECT_LE(module->frames_sent(), before + 1) << "no one holds the port: a closed port would lose it all";

    ASSERT_EQ(exchange({0xFF, 0xFA}).size(), 30u) << "nothing old before the answer";
    SerialPort port = SerialPort::open(module->port_path());
    before = module->frames_sent();
    std::this_thread::sleep_for(500ms);  // well inside the second's pause after a request
    EXPECT_EQ(module->frames_sent(), before);
}

}  // namespace
}  // namespace zelk20

namespace zelk20 {
namespace {

// The adapter is unplugged and plugged in again: the port's name (a link, as
// /dev/serial/by-id gives) then points at a new device.
TEST(MonitorLink, ReopensByItselfWhenTheAdapterComesBack) {
    namespace fs = std::filesystem;
    const fs::path name = fs::temp_directory_path() / ("zelk20-adapter-" + std::to_string(::getpid()));
    auto plug_in = [&name](const sim::SimulatedModule& module) {
        std::error_code ignored;
        fs::remove(name, ignored);
        fs::create_symlink(module.port_path(), name);
    };
    auto first = sim::SimulatedModule::start();
    ASSERT_TRUE(first);
    plug_in(*first);
    const test::PortMapping ports(1, name.string());

    MonitorLink link;
    ASSERT_GT(poll_for(link, 1, 700ms).accepted, 0u);
    first->unplug();
    // udev takes the by-id link away with the adapter; left standing, it would
    // point at a pseudo-terminal number that another test may get next.
    fs::remove(name);
    poll_for(link, 1, 200ms);
    link.watchdog();

    const std::clock_t cpu_before = std::clock();
    EXPECT_EQ(poll_for(link, 1, 1500ms).frames, 0u);
    EXPECT_TRUE(link.watchdog()) << "the display blanks";
    EXPECT_LT(double(std::clock() - cpu_before) / CLOCKS_PER_SEC, 0.5) << "no busy loop while the device is gone";
    EXPECT_TRUE(link.port().device_lost() || !link.port().is_open());

    auto second = sim::SimulatedModule::start();
    ASSERT_TRUE(second);
    plug_in(*second);
    EXPECT_TRUE(wait_until(
        [&] {
            const bool got = !link.poll().empty();
            std::this_thread::sleep_for(50ms);
            return got;
        },
        5000ms))
        << "monitoring resumes without a new pick";
    EXPECT_EQ(link.current_port_name(), "COM1");
    fs::remove(name);
}

}  // namespace
}  // namespace zelk20
