#!/usr/bin/env bash
# Sets up and runs the program against the built-in simulated module: the
# module streams on a pseudo-terminal, COM1 is mapped to it, and zelk20 starts
# on it. Where there is no display (over ssh, say), zelk20ctl monitors the
# module for a few seconds instead and says so.
#   ZELK20_SCREENSHOT=1 scripts/run.sh   without a display: the windows under Xvfb, a screenshot
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
work=$(mktemp -d /tmp/zelk20-run.XXXXXX)
build/sim/zelk20-sim --link "$work/com1" >"$work/sim.log" 2>&1 &
sim=$!
keep_work=
# The folder goes with the run, unless it holds a screenshot to look at.
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true; [ -n "$keep_work" ] || rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/com1" ] && break; sleep 0.1; done
export ZELK20_COM1="$work/com1"
echo "run: simulated module on $(readlink "$work/com1"), mapped to COM1"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  build/ui/zelk20
elif [ -n "${ZELK20_SCREENSHOT:-}" ]; then
  shot="$work/zelk20.png"
  keep_work=1
  echo "run: no display; running zelk20 for 5 s under Xvfb"
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
    build/ui/zelk20 & program=\$!
    sleep 5
    build/tests/screen_grab '$shot'
    kill \$program" 2>/dev/null
  echo "run: screenshot of the live program: $shot"
else
  echo "run: no display, so instead of the windows: zelk20ctl monitor on COM1 for 5 s"
  build/cli/zelk20ctl monitor --port COM1 --seconds 5
  echo "run: and its configuration: zelk20ctl read"
  build/cli/zelk20ctl read --port COM1
fi
