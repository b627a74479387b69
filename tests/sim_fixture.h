#pragma once

// The fixture of the end-to-end tests: a simulated module on a pseudo-terminal,
// reachable as COM1, and a way for the test to play the program's side.
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "link/serial_port.h"
#include "sim/simulated_module.h"
#include "tests/port_mapping.h"

namespace zelk20::test {

using namespace std::chrono_literals;

// Polls `condition` until it holds or `limit` passes; true when it held.
inline bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit = 5000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// A row of the answer fault tables: the module's faults and how many bytes
// of its answer arrive.
struct AnswerCase {
    const char* name;
    sim::Faults faults;
    std::size_t size;
};

class SimulatedModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = sim::SimulatedModule::start(options());
        ASSERT_TRUE(module) << "no pseudo-terminal";
        ports.map(1, module->port_path());
    }
    void TearDown() override { ports.restore(); }

    virtual sim::Options options() const { return {}; }

    // One request and its answer, with time-outs roomy enough for a busy
    // machine, yet ending before the module's stream resumes after the request.
    std::vector<std::uint8_t> exchange(const std::vector<std::uint8_t>& request,
                                       std::chrono::milliseconds interval = 300ms) {
        SerialPort port = SerialPort::open(module->port_path());
        EXPECT_TRUE(port.is_open()) << port.failure_text();
        port.set_line_9600_8n1();
        port.set_timeouts({.read_interval = interval,
                           .read_total_constant = 800ms,
                           .write_total_constant = 100ms});
        port.write(request);
        std::vector<std::uint8_t> answer(80);
        answer.resize(port.read(answer));
        return answer;
    }

    std::unique_ptr<sim::SimulatedModule> module;
    PortMapping ports;  // COM1 is the module
};

}  // namespace zelk20::test
