#include "parameter/line_messages.h"

#include <algorithm>

#include "link/frame_bytes.h"

namespace zelk20 {

WriteRequest write_request(const ParameterSet& set) {
    WriteRequest request{};
    std::copy(write_layout::start.begin(), write_layout::start.end(), request.begin());
    std::copy(set.begin(), set.end(), request.begin() + write_layout::set);
    std::copy(write_layout::fixed.begin(), write_layout::fixed.end(), request.begin() + write_layout::fixed_at);
    request[write_layout::check] =
        xor_check(std::span(request).subspan(write_layout::set, write_layout::check - write_layout::set));
    return request;
}

std::optional<ReadAnswer> parse_read_answer(std::span<const std::uint8_t> answer) {
    if (answer.size() < read_layout::size) return std::nullopt;
    if (answer[0] != frame_start || answer[1] != frame_start_second) return std::nullopt;
    if (xor_check(answer.subspan(read_layout::set, read_layout::check - read_layout::set)) != answer[read_layout::check]) {
        return std::nullopt;
    }
    ReadAnswer read;
    std::copy_n(answer.begin() + read_layout::set, read.set.size(), read.set.begin());
    auto characters = [&answer](std::size_t from, std::size_t count) {
        const auto* first = reinterpret_cast<const char*>(answer.data() + from);
        return std::string(first, count);
    };
    read.version = characters(read_layout::version, read_layout::version_size);
    read.fa_number = characters(read_layout::fa, read_layout::fa_size);
    return read;
}

std::string version_line(const ReadAnswer& answer) { return "ZELK20-Version: " + answer.version; }

std::string fa_line(const ReadAnswer& answer) {
    constexpr std::size_t first_group = 6;  // shown as 251104-00731
    return "Fa: " + answer.fa_number.substr(0, first_group) + "-" + answer.fa_number.substr(first_group);
}

bool write_answer_accepted(std::span<const std::uint8_t> answer, const WriteRequest& request) {
    return !answer.empty() && answer[0] == request[write_layout::check];
}

}  // namespace zelk20
