#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, running and testing the viewer need.
# Idempotent and quick when everything is already there.
#   tools/install-deps.sh          everything: build, run, tests, package checks, fuzzing
#   tools/install-deps.sh --run    only what building and running the viewer and nerin-cli need
set -euo pipefail

# Building the viewer and nerin-cli, and running them (tools/run.sh also draws the window on a
# virtual display and screenshots it when there is no display).
run_packages=(
  cmake ninja-build g++ pkg-config
  libexpat1-dev zlib1g-dev libpng-dev libcurl4-openssl-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  xvfb xauth imagemagick x11-utils fonts-dejavu-core
)
# The tests, the benchmarks and the fuzzing run (clang), the scalable icon's renderer, the
# window driven on a virtual display with a window manager, the PDF checks, and the package:
# made with dpkg, checked by lintian, appstreamcli and desktop-file-validate, its manual pages
# read by man, its file type by the desktop's MIME tools.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev python3 git
  clang libclang-rt-14-dev
  qt6-svg-dev
  xdotool openbox poppler-utils
  dpkg-dev file binutils lintian appstream desktop-file-utils man-db
  shared-mime-info libglib2.0-bin
)

packages=("${run_packages[@]}")
case "${1:-}" in
  --run) ;;
  "") packages+=("${test_packages[@]}") ;;
  *)
    echo "usage: tools/install-deps.sh [--run]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
