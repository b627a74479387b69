#!/usr/bin/env bash
# Renders the three windows to PNG (offscreen): German, English, the main
# window live against the simulated module with lamps lit, the parameter
# window after the hand-over and with a threshold list dropped down, and the
# history window after an hour with alarms. Prints the paths.
# Usage: render-windows.sh [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
QT_QPA_PLATFORM=offscreen build/tests/render_windows "${1:-build/windows}" 2>/dev/null
