// Fuzzes the frame assembler, fed byte by byte in fuzzer-chosen chunks, with
// every complete frame going through the decoder and its text rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "link/frame_assembler.h"
#include "link/frame_bytes.h"
#include "link/status_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte sets the chunk sizes the stream comes in, as reads would split it.
    const std::size_t chunk = 1 + data[0] % 61;
    zelk20::FrameAssembler assembler;
    for (std::size_t at = 1; at < size; at += chunk) {
        for (std::size_t k = at; k < at + chunk && k < size; ++k) {
            const auto frame = assembler.feed(data[k]);
            FUZZ_CHECK(assembler.position() <= zelk20::frame_cap);
            FUZZ_CHECK(assembler.link_active());
            if (!frame) continue;
            const auto bytes = frame->bytes();
            FUZZ_CHECK(bytes.size() >= 4 && bytes.size() <= zelk20::frame_cap);
            FUZZ_CHECK(bytes[0] == zelk20::frame_start && bytes[1] == zelk20::frame_start_second);
            FUZZ_CHECK(bytes[bytes.size() - 2] == zelk20::frame_end_first &&
                       bytes[bytes.size() - 1] == zelk20::frame_end_second);
            // A buffer of exactly the frame's size, so that a read past its end is caught.
            const std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
            const zelk20::StatusUpdate update = zelk20::decode_status_frame(exact);
            FUZZ_CHECK(update.flash == (bytes.size() >= zelk20::status_layout::flash_minimum));
            if (update.display) {
                FUZZ_CHECK(bytes.size() > zelk20::status_layout::check);
                for (const auto& label : update.display->labels) FUZZ_CHECK(!label.empty() && label.size() <= 12);
            }
        }
    }
    return 0;
}
