#!/usr/bin/env bash
# Sets up, builds with warnings as errors, checks that the standard-C++ core
# still cross-compiles for Windows and, where wine is installed (always in CI),
# that the Windows zelk20ctl.exe works under Wine, runs the whole suite under
# ASan and UBSan, and runs the whole suite in the normal build.
set -euo pipefail
cd "$(dirname "$0")/.."

ZELK20_WERROR=ON scripts/setup.sh
scripts/cross-windows.sh
if command -v wine >/dev/null || [ "${CI:-}" = true ]; then
  scripts/wine-check.sh
else
  echo "test: wine is not installed, so the Windows check under Wine (scripts/wine-check.sh) is skipped"
fi
scripts/sanitize.sh
ctest --test-dir build -j"$(nproc)" --output-on-failure --timeout 120
