#!/usr/bin/env bash
# Measures zelk20ctl against the simulated module:
#  - programming a row of 20 modules from one file with write --verify (one
#    simulated module, its port opened anew for each);
#  - CPU share and resident memory of monitor --csv over a long run.
# Usage: measure-cli.sh [MONITOR_SECONDS]   (default 600)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >/dev/null
seconds=${1:-600}
ctl=build/cli/zelk20ctl
work=$(mktemp -d /tmp/zelk20-measure.XXXXXX)
build/sim/zelk20-sim --link "$work/com1" >"$work/sim.log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/com1" ] && break; sleep 0.1; done

# The file every module of the row gets.
printf 'KORVA_ZELK20\r\nD2,D2,CC,32,32,64;\r\n07,01,B8,02;\r\nAE0DFDD12F249\r\n' >"$work/row.cfg"
times=()
start=$(date +%s%N)
for module in $(seq 20); do
  t0=$(date +%s%N)
  "$ctl" write "$work/row.cfg" --verify --port "$work/com1" >/dev/null 2>"$work/write.err" ||
    { echo "module $module: exit $?"; cat "$work/write.err"; exit 1; }
  times+=($(( ($(date +%s%N) - t0) / 1000000 )))
done
total=$(( ($(date +%s%N) - start) / 1000000 ))
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "write --verify, 20 modules: ${total} ms in all; per module median ${sorted[9]} ms, min ${sorted[0]} ms, max ${sorted[19]} ms"

# Let the module's stream resume after the last request.
sleep 1.5
"$ctl" monitor --port "$work/com1" --seconds "$seconds" --csv "$work/log.csv" >/dev/null 2>"$work/monitor.err" &
monitor=$!
sleep 2
rss_start=$(awk '/VmRSS/ {print $2}' /proc/$monitor/status)
sleep $((seconds - 3))
rss_end=$(awk '/VmRSS/ {print $2}' /proc/$monitor/status)
# utime and stime, fields 14 and 15, in clock ticks.
read -r utime stime < <(awk '{print $14, $15}' /proc/$monitor/stat)
wait $monitor
ticks=$(getconf CLK_TCK)
rows=$(( $(wc -l <"$work/log.csv") - 1 ))
echo "monitor --csv, ${seconds} s: $rows rows; $(cat "$work/monitor.err")"
awk -v u="$utime" -v s="$stime" -v t="$ticks" -v d="$seconds" -v a="$rss_start" -v b="$rss_end" 'BEGIN {
  printf "monitor --csv: CPU %.3f %% of one core (%.2f s user, %.2f s system); resident memory %d KiB after 2 s, %d KiB at the end\n",
         100 * (u + s) / t / d, u / t, s / t, a, b }'
