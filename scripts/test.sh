#!/usr/bin/env bash
# Sets up, builds with warnings as errors, checks that the standard-C++ core
# still cross-compiles for Windows, runs the whole suite under ASan and UBSan,
# and runs the whole suite in the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

ZELK20_WERROR=ON scripts/setup.sh
scripts/cross-windows.sh
scripts/sanitize.sh
ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 120
