#!/usr/bin/env bash
# Installs what the project needs on a Debian machine (only what is missing),
# then configures and builds into build/. Quick when everything is there.
#   scripts/setup.sh                    build
#   ZELK20_WERROR=ON scripts/setup.sh   warnings as errors (the test command)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libqcustomplot-dev xvfb xauth fonts-liberation
  g++-mingw-w64-x86-64
  clang-14 libclang-rt-14-dev
  dpkg-dev file desktop-file-utils
)
# CI always runs the Windows zelk20ctl.exe under Wine (scripts/wine-check.sh);
# elsewhere the test command runs it where wine happens to be installed.
[ "${CI:-}" != true ] || packages+=(wine wine64)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Keep the configured warning setting unless one is asked for, so that the run
# and test commands do not rebuild everything for each other.
configure=(-S . -B build)
[ -z "${ZELK20_WERROR:-}" ] || configure+=(-DZELK20_WERROR="$ZELK20_WERROR")
cmake "${configure[@]}" >/dev/null
mkdir -p build
if ! cmake --build build -j"$(nproc)" >build/build.log 2>&1; then
  cat build/build.log
  echo "setup: the build failed (log: build/build.log)" >&2
  exit 1
fi
echo "setup: built in build/"
