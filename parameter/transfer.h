#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "link/serial_port.h"
#include "parameter/exchange.h"
#include "parameter/line_messages.h"
#include "parameter/transfer_schedule.h"

namespace zelk20 {

enum class TransferEnd {
    done,
    no_answer,         // no acceptable answer after all attempts
    port_unavailable,  // the port could not be opened
    stopped,           // the caller asked to stop before an attempt succeeded
};

struct TransferResult {
    TransferEnd end = TransferEnd::no_answer;
    int attempts = 0;
    std::optional<ReadAnswer> answer;              // a load's answer
    OpenFailure open_failure = OpenFailure::none;  // of the last attempt
    std::string failure_text;                      // the system's words for it
};

// The parameter window's load and write run to their end without a window,
// for batch use, on the window's retry schedule: each call blocks until an
// attempt succeeds or the series gives up. A port that cannot be opened at
// the first attempt ends the transfer at once; later it counts as a missing
// answer, since an adapter that was reset may come back.
class TransferSession {
public:
    // `stop_requested`, when given, is asked between attempts and while
    // waiting for the next one: a program told to stop ends the transfer
    // there, with the port closed, instead of after all attempts.
    explicit TransferSession(std::string port_name, std::function<bool()> stop_requested = {})
        : port_name_(std::move(port_name)), stop_requested_(std::move(stop_requested)) {}

    TransferResult load();
    TransferResult write(const ParameterSet& set);

private:
    template <typename Accept>
    TransferResult run(std::span<const std::uint8_t> request, Accept accept);
    // Sleeps until `tick`; false when a stop was asked for first.
    bool wait_for_tick(std::chrono::steady_clock::time_point tick) const;
    bool stopping() const { return stop_requested_ && stop_requested_(); }

    std::string port_name_;
    std::function<bool()> stop_requested_;
    TransferSchedule schedule_;
};

}  // namespace zelk20
