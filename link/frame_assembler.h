#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zelk20 {

// Longest frame the assembler holds; the byte after a frame of this length
// without an end pair resets it and is dropped.
inline constexpr std::size_t frame_cap = 50;

// One complete frame as the assembler hands it on: start pair through end pair.
struct Frame {
    std::array<std::uint8_t, frame_cap> storage{};
    std::size_t size = 0;

    std::span<const std::uint8_t> bytes() const { return {storage.data(), size}; }
};

// Builds status frames from the byte stream, one byte at a time. The state
// persists between reads, so a frame may be spread over several reads.
class FrameAssembler {
public:
    // Takes one received byte; returns the frame it completes, if any.
    std::optional<Frame> feed(std::uint8_t byte);

    // Set by every byte fed; the link watchdog reads and clears it.
    bool link_active() const { return link_active_; }
    void clear_link_active() { link_active_ = false; }

    // 0 hunting for the start byte, 1 start byte seen, 2 to 50 bytes held:
    // the position is the count of bytes held.
    std::size_t position() const { return buffer_.size; }

private:
    Frame buffer_{};
    bool link_active_ = false;
};

}  // namespace zelk20
