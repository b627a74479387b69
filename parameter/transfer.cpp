#include "parameter/transfer.h"

#include <algorithm>
#include <thread>

namespace zelk20 {

namespace {

// How often a wait for the next attempt looks whether it should stop.
constexpr std::chrono::milliseconds stop_check_interval{20};

}  // namespace

bool TransferSession::wait_for_tick(std::chrono::steady_clock::time_point tick) const {
    for (;;) {
        if (stopping()) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= tick) return true;
        std::this_thread::sleep_until(stop_requested_ ? std::min(tick, now + stop_check_interval) : tick);
    }
}

template <typename Accept>
TransferResult TransferSession::run(std::span<const std::uint8_t> request, Accept accept) {
    const auto interval = schedule_.retry_interval();
    const auto first_attempt = std::chrono::steady_clock::now();
    TransferResult result;
    for (int tick = 0;; ++tick) {
        // Ticks keep their schedule however long an attempt took, as a timer's do.
        if (!wait_for_tick(first_attempt + tick * interval)) {
            result.end = TransferEnd::stopped;
            return result;
        }
        const Exchange answer = attempt_exchange(port_name_, request);
        result.attempts = tick + 1;
        result.open_failure = answer.open_failure;
        result.failure_text = answer.failure_text;
        const bool accepted = accept(answer.answer, result);
        schedule_.after_attempt(accepted ? AttemptOutcome::accepted : AttemptOutcome::failed);
        const bool gave_up = tick > 0 && schedule_.count_tick();
        if (accepted) {
            result.end = TransferEnd::done;
            return result;
        }
        if (gave_up || (tick == 0 && answer.open_failure != OpenFailure::none)) break;
    }
    result.end = result.open_failure != OpenFailure::none ? TransferEnd::port_unavailable : TransferEnd::no_answer;
    return result;
}

TransferResult TransferSession::load() {
    schedule_.load_mode = true;
    return run(read_request, [](const std::vector<std::uint8_t>& answer, TransferResult& result) {
        result.answer = parse_read_answer(answer);
        return result.answer.has_value();
    });
}

TransferResult TransferSession::write(const ParameterSet& set) {
    schedule_.load_mode = false;
    const WriteRequest request = write_request(set);
    return run(request, [&request](const std::vector<std::uint8_t>& answer, TransferResult&) {
        return write_answer_accepted(answer, request);
    });
}

}  // namespace zelk20
