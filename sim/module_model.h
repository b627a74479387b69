#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "parameter/line_messages.h"

namespace zelk20::sim {

using ParameterBytes = ParameterSet;

struct Request {
    enum class Kind { read, write } kind = Kind::read;
    std::vector<std::uint8_t> bytes;  // the whole request as received
};

// Picks requests out of the bytes the program writes (FF FA, or FF FD and
// thirteen more); anything that does not begin a request is skipped.
class RequestParser {
public:
    std::optional<Request> feed(std::uint8_t byte);
    void reset() { pending_.clear(); }

private:
    std::vector<std::uint8_t> pending_;
};

// One moment's measurements, in hundredths of a volt or ampere.
struct Readings {
    std::array<std::uint16_t, 3> voltage{};  // In1, In2, Out
    std::array<std::uint16_t, 3> current{};
};

// The module's inner working, as far as the line shows it: slowly changing
// supplies, the lowest voltages and highest currents seen, alarm bits that
// follow the thresholds of its parameter set, and its answers to requests.
class ModuleModel {
public:
    explicit ModuleModel(std::uint32_t seed = 1);

    const ParameterBytes& parameters() const { return parameters_; }
    void set_parameters(const ParameterBytes& parameters) { parameters_ = parameters; }

    // A 36-byte status frame for `seconds` since power-on. `forced_alarm`
    // replaces the alarm byte the readings give.
    std::vector<std::uint8_t> status_frame(double seconds, std::optional<std::uint8_t> forced_alarm = {});

    // The answer to one request: a 30-byte read answer, or for a write
    // request with the right fixed bytes and check byte the check byte alone
    // (the set is stored). A faulty write request gets no answer.
    std::optional<std::vector<std::uint8_t>> answer(const Request& request);

    static constexpr std::string_view version = "V1.3";        // four characters
    static constexpr std::string_view fa_number = "25110400731"; // eleven characters

private:
    Readings readings_at(double seconds);
    std::uint8_t alarm_for(const Readings& now) const;

    ParameterBytes parameters_ = maker_defaults;  // as the module leaves the works
    std::mt19937 noise_;
    std::optional<Readings> extremes_;  // lowest voltages and highest currents seen
};

}  // namespace zelk20::sim
