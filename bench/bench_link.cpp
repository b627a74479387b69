// Bytes per second through the frame assembler and the status frame decoder.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "link/frame_assembler.h"
#include "link/status_frame.h"
#include "sim/module_model.h"

namespace {

using namespace zelk20;

// A second's worth of line traffic, many times over: valid frames with some
// noise between them.
std::vector<std::uint8_t> stream(std::size_t frames) {
    sim::ModuleModel model(7);
    std::mt19937 noise(3);
    std::vector<std::uint8_t> bytes;
    for (std::size_t k = 0; k < frames; ++k) {
        const auto frame = model.status_frame(0.2 * static_cast<double>(k));
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        for (int n = 0; n < 4; ++n) bytes.push_back(static_cast<std::uint8_t>(noise() % 0xE0));
    }
    return bytes;
}

void AssembleOnly(benchmark::State& state) {
    const auto bytes = stream(1000);
    FrameAssembler assembler;
    for (auto _ : state) {
        std::size_t frames = 0;
        for (const std::uint8_t b : bytes) frames += assembler.feed(b).has_value();
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(AssembleOnly);

void AssembleAndDecode(benchmark::State& state) {
    const auto bytes = stream(1000);
    FrameAssembler assembler;
    for (auto _ : state) {
        std::size_t accepted = 0;
        for (const std::uint8_t b : bytes) {
            if (auto frame = assembler.feed(b)) accepted += decode_status_frame(frame->bytes()).display.has_value();
        }
        benchmark::DoNotOptimize(accepted);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(AssembleAndDecode);

}  // namespace
