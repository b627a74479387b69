#!/usr/bin/env bash
# Soaks (scripts, not in CI).
# Usage: soak.sh [FRAMES]          the link core alone: a million status frames (or FRAMES) with
#                                  faults mixed in, read by the port layer, assembler and decoder
#                                  as fast as they can
#        soak.sh program [FRAMES]  the whole program at the line rate: 20000 frames (or FRAMES) with
#                                  wrong check bytes, noise and split frames, about 22 minutes
#        soak.sh noise             the whole program for a minute of a line full of noise, frames
#                                  among it: 600 frames with 60 noise bytes before each
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
export QT_QPA_PLATFORM=offscreen
case "${1:-}" in
  program) build/bench/soak_program "${2:-20000}" 2>/dev/null ;;
  noise) build/bench/soak_program 600 --noise 60 --bad-check 4 --chunk 0 2>/dev/null ;;
  *) build/bench/soak_link "${1:-1000000}" ;;
esac
