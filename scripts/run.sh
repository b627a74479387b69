#!/usr/bin/env bash
# Sets up and runs against the built-in simulated module: the module streams
# on a pseudo-terminal mapped to COM1, and the monitor shows what it decodes
# about once a second. Stop with Ctrl+C. An optional argument gives the
# number of seconds to run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
exec build/sim/zelk20-sim --demo "${1:-0}"
