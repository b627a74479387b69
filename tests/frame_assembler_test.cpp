#include "link/frame_assembler.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/test_frames.h"

namespace zelk20 {
namespace {

using test::Bytes;
using test::concat;

std::vector<Bytes> assemble(FrameAssembler& assembler, const Bytes& stream) {
    std::vector<Bytes> frames;
    for (const std::uint8_t b : stream) {
        if (auto frame = assembler.feed(b)) frames.emplace_back(frame->bytes().begin(), frame->bytes().end());
    }
    return frames;
}

Bytes filler(std::size_t count, std::uint8_t value = 0x55) { return Bytes(count, value); }

struct AssemblyCase {
    std::string name;
    Bytes stream;
    std::vector<Bytes> frames;
    std::size_t position_after;
};

TEST(FrameAssembler, ByteStreamsGiveTheDocumentedFrames) {
    const Bytes frame = test::typical_frame();
    const Bytes fifty = concat({{0xE4, 0x31}, filler(46), {0xE4, 0x36}});
    const std::vector<AssemblyCase> cases = {
        {"36-byte frame", frame, {frame}, 0},
        {"two frames back to back", concat({frame, frame}), {frame, frame}, 0},
        {"noise before the frame", concat({{0x00, 0x31, 0x36, 0xFF}, frame}), {frame}, 0},
        {"E4 31 E4 36 is the shortest frame", {0xE4, 0x31, 0xE4, 0x36}, {{0xE4, 0x31, 0xE4, 0x36}}, 0},
        {"E4 31 36 is no end pair", {0xE4, 0x31, 0x36}, {}, 3},
        {"E4 E4 31 drops the frame", concat({{0xE4}, frame}), {}, 0},
        {"E4 E4 31 then a frame", concat({{0xE4}, frame, frame}), {frame}, 0},
        {"E4 36 inside the payload ends the frame",
         concat({{0xE4, 0x31, 0x01, 0xE4, 0x36}, filler(3)}),
         {{0xE4, 0x31, 0x01, 0xE4, 0x36}},
         0},
        {"start pair inside a frame has no meaning",
         {0xE4, 0x31, 0x07, 0xE4, 0x31, 0x08, 0xE4, 0x36},
         {{0xE4, 0x31, 0x07, 0xE4, 0x31, 0x08, 0xE4, 0x36}},
         0},
        {"50-byte frame is the longest", fifty, {fifty}, 0},
        {"50 bytes without end pair hold", concat({{0xE4, 0x31}, filler(48)}), {}, 50},
        {"the 51st byte resets and is dropped, E4 too", concat({{0xE4, 0x31}, filler(48), {0xE4, 0x31}, frame}),
         {frame}, 0},
        {"E4 36 as 51st and 52nd bytes ends nothing", concat({{0xE4, 0x31}, filler(48), {0xE4, 0x36}}), {}, 0},
    };
    for (const auto& c : cases) {
        FrameAssembler assembler;
        EXPECT_EQ(assemble(assembler, c.stream), c.frames) << c.name;
        EXPECT_EQ(assembler.position(), c.position_after) << c.name;
    }
}

TEST(FrameAssembler, StatePersistsBetweenReads) {
    const Bytes frame = test::typical_frame();
    FrameAssembler assembler;
    for (std::size_t split = 1; split < frame.size(); ++split) {
        EXPECT_TRUE(assemble(assembler, Bytes(frame.begin(), frame.begin() + split)).empty());
        EXPECT_EQ(assemble(assembler, Bytes(frame.begin() + split, frame.end())), std::vector<Bytes>{frame})
            << "split after " << split;
    }
}

TEST(FrameAssembler, EveryByteMarksTheLinkActive) {
    FrameAssembler assembler;
    EXPECT_FALSE(assembler.link_active());
    assembler.feed(0x00);  // noise that never forms a frame
    EXPECT_TRUE(assembler.link_active());
    assembler.clear_link_active();
    EXPECT_FALSE(assembler.link_active());
    EXPECT_EQ(assembler.position(), 0u);  // clearing the flag leaves the assembly alone
    assembler.feed(0xE4);
    assembler.clear_link_active();
    EXPECT_EQ(assembler.position(), 1u);
}

}  // namespace
}  // namespace zelk20
