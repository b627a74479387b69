#!/usr/bin/env bash
# Sets up, builds with warnings as errors, runs the whole test suite, and
# checks that the standard-C++ core still cross-compiles for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

ZELK20_WERROR=ON scripts/setup.sh
scripts/cross-windows.sh
ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 120
