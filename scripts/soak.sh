#!/usr/bin/env bash
# Soak of the link core alone: a million status frames with faults mixed in,
# read by the port layer, assembler and decoder as fast as they can.
# Usage: soak.sh [FRAMES]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
build/bench/soak_link "${1:-1000000}"
