#!/usr/bin/env bash
# Fuzzes the three harnesses with libFuzzer (clang-14, ASan and UBSan), each
# for the given seconds (default 600), two at a time. New inputs go into a
# working corpus in build-fuzz/; inputs that crash are saved there as crash-*.
# Usage: fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
seconds=${1:-600}
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DZELK20_CORE_ONLY=ON -DZELK20_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
run() {
  local harness=$1 corpus=$2
  mkdir -p "build-fuzz/corpus/$corpus"
  (cd build-fuzz && "tests/fuzz/$harness" -max_total_time="$seconds" -dict=../tests/fuzz/zelk20.dict \
     -print_final_stats=1 "corpus/$corpus" "../tests/fuzz/corpus/$corpus" >"$harness.log" 2>&1) || true
  echo "== $harness"; grep -E 'stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY|crash-' "build-fuzz/$harness.log" || true
}
run fuzz_frames frames & run fuzz_answers answers & wait
run fuzz_config_file config
