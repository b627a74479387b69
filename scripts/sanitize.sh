#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# (leak detection included) into build-asan/ and runs the whole test suite
# there. Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
cmake -S . -B build-asan -DZELK20_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
if ! cmake --build build-asan -j"$(nproc)" >build-asan/build.log 2>&1; then
  cat build-asan/build.log
  exit 1
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "sanitize: running the suite under ASan and UBSan"
ctest --test-dir build-asan -j"$(nproc)" --output-on-failure --timeout 240
