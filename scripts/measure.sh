#!/usr/bin/env bash
# The figures of the closing notes: bytes per second through assembler and
# decoder, the read end error, and the program's own cost while monitoring,
# with the history window hidden and open.
# Usage: measure.sh [SECONDS per monitoring phase, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
build/bench/bench_link --benchmark_min_time=1 2>/dev/null | grep -E 'Assemble'
build/bench/read_timing 300
QT_QPA_PLATFORM=offscreen build/bench/ui_timing "${1:-60}" 2>/dev/null
QT_QPA_PLATFORM=offscreen build/bench/transfer_timing 20 2>/dev/null
QT_QPA_PLATFORM=offscreen build/bench/history_timing "${1:-60}" 2>/dev/null
