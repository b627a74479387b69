#!/usr/bin/env bash
# Runs the Windows zelk20ctl.exe under Wine against simulated modules, so that
# the Win32 back end (CreateFileA on \\.\COMk, the COMMTIMEOUTS read bounds,
# ReadFile and WriteFile) is exercised and not only linked. Builds what it
# needs (the cross build and the simulated module), makes a fresh Wine prefix
# in a temporary folder and maps the ports in Wine's registry port table:
#   COM1   a module as it comes
#   COM3   a silent module
#   COM10  a module with Uin1 below power good, COM11 one with Uin2 below it
# Ends with "N passed, M failed" and exits non-zero when anything failed.
# Not covered here, because Wine neither enforces an exclusive open of a serial
# port nor reports an unplugged one: those two cases stay with the Linux tests.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v wine >/dev/null || { echo "wine-check: wine is not installed (apt-get install wine wine64)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zelk20-wine.XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
# Without Mono, Gecko and the menu builder a new prefix takes seconds, and
# nothing of it lands outside the temporary folder.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
modules=()
finish() {
  for pid in "${modules[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# What it needs: zelk20ctl.exe from the cross build, the native simulated module.
if ! scripts/cross-windows.sh >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "wine-check: the cross build failed" >&2
  exit 2
fi
[ -f build/CMakeCache.txt ] || cmake -S . -B build >/dev/null
if ! cmake --build build --target zelk20-sim -j"$(nproc)" >"$work/build.log" 2>&1; then
  cat "$work/build.log"
  echo "wine-check: the simulated module did not build" >&2
  exit 2
fi
exe=build-windows/cli/zelk20ctl.exe
sim=build/sim/zelk20-sim

# One simulated module per mapped port; each prints its pseudo-terminal's path.
declare -A device
start_module() {  # COM name, then the module's switches
  local name=$1
  shift
  "$sim" "$@" >"$work/$name.path" 2>&1 &
  modules+=("$!")
  local deadline=$((SECONDS + 10))
  until [ -s "$work/$name.path" ]; do
    ((SECONDS < deadline)) || { echo "wine-check: the module for $name did not start" >&2; exit 2; }
    sleep 0.05
  done
  device[$name]=$(head -n 1 "$work/$name.path")
}
start_module COM1
start_module COM3 --silent
start_module COM10 --alarm 01
start_module COM11 --alarm 02

# Wine's mount manager rewrites symbolic links in dosdevices when it starts,
# so the ports go into its registry table and the server is restarted to read it.
for name in COM1 COM3 COM10 COM11; do
  wine reg add 'HKLM\Software\Wine\Ports' /v "$name" /t REG_SZ /d "${device[$name]}" /f >"$work/wine.log" 2>&1 || {
    cat "$work/wine.log"
    echo "wine-check: wine could not make its prefix or map $name" >&2
    exit 2
  }
done
wineserver -w
# One server for all the runs below: left to itself it ends three seconds
# after its last client, and a run that starts just then loses its connection.
wineserver -p >/dev/null 2>&1

# Wine's drive Z: is the Linux root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

passed=0
failed=0
out="$work/out"
# Runs zelk20ctl.exe with the given arguments (bounded, so a hang is a failure);
# its exit code is in $code, its output in $out.
# zelk20ctl prints something on every path; a run with no output at all is
# Wine failing to start the program (its server connection lost, say), and
# is run once more.
ctl() {
  for attempt in 1 2; do
    code=0
    timeout 60 wine "$exe" "$@" >"$out" 2>&1 </dev/null || code=$?
    [ -s "$out" ] && break
    echo "       (wine started nothing for: $*; run again)"
  done
}
# check NAME EXPECTED_CODE [TEXT...]: the last run ended with that code and
# printed every TEXT.
check() {
  local name=$1 expected=$2
  shift 2
  local missing=()
  for text in "$@"; do grep -qF -- "$text" "$out" || missing+=("$text"); done
  if [ "$code" -eq "$expected" ] && ((${#missing[@]} == 0)); then
    passed=$((passed + 1))
    echo "ok     $name"
  else
    failed=$((failed + 1))
    echo "FAILED $name: exit $code (expected $expected)${missing[*]:+, missing: ${missing[*]}}"
    sed 's/^/         /' "$out"
  fi
}

ctl monitor --port COM1 --frames 3
check "monitor COM1 --frames 3" 0 "3 frames shown, 0 refused" "| no alarm"
ctl monitor --port COM1 --seconds 1.5
check "monitor COM1 --seconds 1.5 ends by itself" 0 "| no alarm" "frames shown, 0 refused"
ctl monitor --port COM3 --seconds 1.5
check "monitor of the silent COM3 says so" 0 "data from the module for a second" "0 frames shown"

ctl read --port COM1
check "read COM1" 0 "transmission successful!" "threshold U[V]: In1 20,4 In2 20,4 Out 20,4" "Fa: "
ctl write --defaults --verify --port COM1
check "write --defaults --verify COM1" 0 "verified: the module holds the configuration written"

# A configuration of its own on COM11, filed by read --save and written to COM1.
printf 'KORVA_ZELK20\r\nDC,D2,E6,64,32,96;\r\n05,01,28,00;\r\nAE0DFDD12F249\r\n' >"$work/own.txt"
ctl write "$(windows_path "$work/own.txt")" --verify --port COM11
check "write FILE --verify COM11" 0 "verified: the module holds the configuration written"
ctl read --port COM11 --save "$(windows_path "$work/saved.txt")"
check "read --save COM11" 0 "threshold U[V]: In1 22,0 In2 21,0 Out 23,0"
code=0
cmp -s "$work/own.txt" "$work/saved.txt" || code=1
echo "cmp $work/own.txt $work/saved.txt: exit $code" >"$out"
check "the saved file holds what COM11 was given, byte for byte" 0
ctl write "$(windows_path "$work/saved.txt")" --verify --port COM1
check "write of the saved file --verify COM1" 0 "verified: the module holds the configuration written"
ctl read --port COM1
check "COM1 holds the saved configuration" 0 "threshold I[A]: In1 10,0 In2 5,0 Out 15,0"

# COM10 and COM11 need the \\.\ form; each must reach its own module.
ctl monitor --port COM10 --frames 2
check "monitor COM10 reaches its module (Uin1 alarm)" 0 "| Uin1<Power Good" "2 frames shown"
ctl monitor --port COM11 --frames 2
check "monitor COM11 reaches its module (Uin2 alarm)" 0 "| Uin2<Power Good" "2 frames shown"
ctl read --port COM10
check "read COM10 has the configuration COM11 was not given" 0 "threshold U[V]: In1 20,4 In2 20,4 Out 20,4"

# Port names in lower case.
ctl monitor --port com10 --frames 1
check "monitor com10" 0 "| Uin1<Power Good" "1 frames shown"
ctl read --port com11
check "read com11" 0 "threshold U[V]: In1 22,0 In2 21,0 Out 23,0"
ctl read --port com1
check "read com1" 0 "threshold I[A]: In1 10,0 In2 5,0 Out 15,0"

# An absent port: the first of COM2..COM9 that neither the registry nor the
# mount manager (which gives the system's own serial devices free numbers)
# has taken.
absent=""
for k in 2 4 5 6 7 8 9; do
  if [ ! -e "$WINEPREFIX/dosdevices/com$k" ] && [ ! -L "$WINEPREFIX/dosdevices/com$k" ]; then
    absent=COM$k
    break
  fi
done
if [ -n "$absent" ]; then
  ctl read --port "$absent"
  check "read of the absent $absent exits 3" 3 "cannot open $absent"
  ctl monitor --port "$absent" --frames 1
  check "monitor of the absent $absent exits 3" 3 "cannot open $absent"
else
  code=1
  ls -l "$WINEPREFIX/dosdevices" >"$out"
  check "a free port number for the absent port" 0
fi

# The silent module: 13 attempts, 400 ms apart, then exit 1.
ctl read --port COM3
check "read of the silent COM3 exits 1 after 13 attempts" 1 "(13 attempts)"
ctl write --defaults --port COM3
check "write to the silent COM3 exits 1 after 13 attempts" 1 "(13 attempts)"

echo "$passed passed, $failed failed"
((failed == 0))
