#include "link/frame_assembler.h"

#include "link/frame_bytes.h"

namespace zelk20 {

std::optional<Frame> FrameAssembler::feed(std::uint8_t byte) {
    link_active_ = true;
    std::size_t& held = buffer_.size;

    if (held == 0) {
        if (byte == frame_start) buffer_.storage[held++] = byte;
        return std::nullopt;
    }
    if (held == 1) {
        // Anything but the second start byte, a second E4 too, is dropped
        // with the start byte, and hunting begins again at the next byte.
        if (byte == frame_start_second) {
            buffer_.storage[held++] = byte;
        } else {
            held = 0;
        }
        return std::nullopt;
    }
    if (held == frame_cap) {  // no end pair within the cap: this byte is lost too
        held = 0;
        return std::nullopt;
    }

    const std::uint8_t before = buffer_.storage[held - 1];
    buffer_.storage[held++] = byte;
    if (byte == frame_end_second && before == frame_end_first) {
        Frame complete = buffer_;
        held = 0;
        return complete;
    }
    return std::nullopt;
}

}  // namespace zelk20
