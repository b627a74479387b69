#!/usr/bin/env bash
# Cross-compiles the standard-C++ core (link library with its Win32 back end,
# the port probe and zelk20ctl) with mingw-w64, warnings as errors. It proves
# that the Windows side builds and links against kernel32; scripts/wine-check.sh
# runs its zelk20ctl.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --no-warn-unused-cli -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DZELK20_CORE_ONLY=ON -DZELK20_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-windows -j"$(nproc)"
exe=build-windows/zelk20-link-check.exe
# The serial calls the Win32 back end stands on must be imported from kernel32.
imports=$(x86_64-w64-mingw32-objdump -p "$exe")
for call in CreateFileA SetupComm GetCommState SetCommState SetCommTimeouts ReadFile WriteFile CloseHandle \
  ClearCommError; do
  grep -qw "$call" <<<"$imports" || { echo "cross-windows: $exe does not import $call" >&2; exit 1; }
done
[ -f build-windows/cli/zelk20ctl.exe ] || { echo "cross-windows: zelk20ctl.exe was not built" >&2; exit 1; }
echo "cross-windows: built $exe, importing the nine kernel32 serial calls, and zelk20ctl.exe"
