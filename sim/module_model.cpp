#include "sim/module_model.h"

#include <algorithm>
#include <cmath>

#include "link/frame_bytes.h"
#include "link/status_frame.h"

namespace zelk20::sim {

namespace {
// Both requests start with the same byte; the second tells them apart.
constexpr std::uint8_t request_first = read_request[0];
static_assert(write_layout::start[0] == request_first);
constexpr std::uint8_t read_request_second = read_request[1];
constexpr std::uint8_t write_request_second = write_layout::start[1];
}  // namespace

std::optional<Request> RequestParser::feed(std::uint8_t byte) {
    if (pending_.empty()) {
        if (byte == request_first) pending_.push_back(byte);
        return std::nullopt;
    }
    if (pending_.size() == 1) {
        if (byte == read_request_second) {
            pending_.clear();
            return Request{Request::Kind::read, {read_request.begin(), read_request.end()}};
        }
        if (byte != write_request_second) {
            pending_.clear();
            if (byte == request_first) pending_.push_back(byte);
            return std::nullopt;
        }
    }
    pending_.push_back(byte);
    if (pending_.size() < write_request_size) return std::nullopt;
    Request request{Request::Kind::write, std::move(pending_)};
    pending_.clear();
    return request;
}

ModuleModel::ModuleModel(std::uint32_t seed) : noise_(seed) {}

Readings ModuleModel::readings_at(double t) {
    std::uniform_real_distribution<double> jitter(-0.02, 0.02);
    // In2 sags below 20 V for about eight seconds of every minute, so that its
    // power-good alarm comes and goes; In1 then carries the load.
    const double phase = std::fmod(t, 60.0);
    const bool sag = phase > 40.0 && phase < 48.0;
    const double u1 = 24.05 + 0.12 * std::sin(t / 7.0) + jitter(noise_);
    const double u2 = sag ? 19.6 + 0.1 * std::sin(t) : 23.85 + 0.10 * std::sin(t / 5.0 + 1.0) + jitter(noise_);
    const double uout = std::max(u1, u2) - 0.28;
    const double i1 = (sag ? 4.1 : 2.35) + 0.25 * std::sin(t / 4.0) + jitter(noise_);
    const double i2 = (sag ? 0.05 : 1.85) + 0.20 * std::sin(t / 3.0 + 2.0) * (sag ? 0.0 : 1.0);
    const double iout = i1 + i2;

    auto hundredths = [](double value) {
        return static_cast<std::uint16_t>(std::clamp(std::lround(value * 100.0), 0L, 65535L));
    };
    Readings now;
    now.voltage = {hundredths(u1), hundredths(u2), hundredths(uout)};
    now.current = {hundredths(i1), hundredths(i2), hundredths(iout)};
    if (!extremes_) extremes_ = now;
    for (std::size_t k = 0; k < 3; ++k) {
        extremes_->voltage[k] = std::min(extremes_->voltage[k], now.voltage[k]);
        extremes_->current[k] = std::max(extremes_->current[k], now.current[k]);
    }
    return now;
}

std::uint8_t ModuleModel::alarm_for(const Readings& now) const {
    std::uint8_t alarm = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        // Thresholds are tenths, readings hundredths.
        if (now.voltage[k] < parameters_[k] * 10) alarm |= static_cast<std::uint8_t>(0x01 << k);
        if (now.current[k] > parameters_[3 + k] * 10) alarm |= static_cast<std::uint8_t>(0x08 << k);
    }
    return alarm;
}

std::vector<std::uint8_t> ModuleModel::status_frame(double seconds, std::optional<std::uint8_t> forced_alarm) {
    const Readings now = readings_at(seconds);
    std::vector<std::uint8_t> frame = {frame_start, frame_start_second, forced_alarm.value_or(alarm_for(now))};
    auto put_word = [&frame](std::uint16_t value) {
        frame.push_back(static_cast<std::uint8_t>(value >> 8));
        frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
    };
    const std::array<const std::array<std::uint16_t, 3>*, 4> groups = {&now.voltage, &now.current,
                                                                        &extremes_->voltage, &extremes_->current};
    for (const auto* group : groups) {
        for (const std::uint16_t value : *group) put_word(value);
    }
    frame.insert(frame.end(), parameters_.begin(), parameters_.begin() + parameter_byte::threshold_count);
    frame.push_back(xor_check(std::span(frame).subspan(status_layout::alarm)));
    frame.push_back(frame_end_first);
    frame.push_back(frame_end_second);
    return frame;
}

std::optional<std::vector<std::uint8_t>> ModuleModel::answer(const Request& request) {
    if (request.kind == Request::Kind::read) {
        // The two bytes before the check byte, which the tool does not interpret, stay 0.
        std::vector<std::uint8_t> answer(read_layout::size, 0x00);
        answer[0] = frame_start;
        answer[1] = frame_start_second;
        std::copy(parameters_.begin(), parameters_.end(), answer.begin() + read_layout::set);
        std::copy_n(version.begin(), read_layout::version_size, answer.begin() + read_layout::version);
        std::copy_n(fa_number.begin(), read_layout::fa_size, answer.begin() + read_layout::fa);
        answer[read_layout::check] =
            xor_check(std::span(answer).subspan(read_layout::set, read_layout::check - read_layout::set));
        return answer;
    }
    // A write request is taken only as the tool builds it: fixed bytes and check byte right.
    const std::span<const std::uint8_t> bytes = request.bytes;
    if (bytes.size() != write_request_size) return std::nullopt;
    ParameterSet carried{};
    std::copy_n(bytes.begin() + write_layout::set, carried.size(), carried.begin());
    const WriteRequest expected = write_request(carried);
    if (!std::equal(bytes.begin(), bytes.end(), expected.begin())) return std::nullopt;
    parameters_ = carried;
    return std::vector<std::uint8_t>{expected.back()};
}

}  // namespace zelk20::sim
