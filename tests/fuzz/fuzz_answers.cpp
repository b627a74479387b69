// Fuzzes the read-answer and write-answer checks. The check byte would keep
// the fuzzer out of the accepting path, so half of the inputs get a right
// header and check byte fixed up here, and must then be accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>
#include <algorithm>

#include "tests/fuzz/fuzz_check.h"
#include "link/frame_bytes.h"
#include "parameter/line_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::vector<std::uint8_t> answer(data + 1, data + size);
    const bool fix_up = (data[0] & 1) != 0 && answer.size() >= zelk20::read_answer_size;
    if (fix_up) {
        answer[0] = zelk20::frame_start;
        answer[1] = zelk20::frame_start_second;
        answer[29] = zelk20::xor_check(std::span(answer).subspan(2, 27));
    }
    const auto read = zelk20::parse_read_answer(answer);
    if (fix_up) FUZZ_CHECK(read.has_value());
    if (read) {
        FUZZ_CHECK(answer.size() >= zelk20::read_answer_size);
        FUZZ_CHECK(read->version.size() == 4 && read->fa_number.size() == 11);
        FUZZ_CHECK(std::equal(read->set.begin(), read->set.end(), answer.begin() + 2));
    }

    // A write answer: the request from the first ten bytes, the answer from the rest.
    zelk20::ParameterSet set{};
    for (std::size_t k = 0; k < set.size() && k < answer.size(); ++k) set[k] = answer[k];
    const zelk20::WriteRequest request = zelk20::write_request(set);
    FUZZ_CHECK(request[0] == 0xFF && request[1] == 0xFD && request[12] == 0xDD && request[13] == 0xEE);
    const std::span<const std::uint8_t> rest =
        answer.size() > set.size() ? std::span(answer).subspan(set.size()) : std::span<const std::uint8_t>{};
    FUZZ_CHECK(zelk20::write_answer_accepted(rest, request) == (!rest.empty() && rest[0] == request[14]));
    return 0;
}
