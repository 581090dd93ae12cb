#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of the viewer from scratch in build-deb/ and prints its path:
#   tools/make-deb.sh        ->  build-deb/nerin-viewer_<version>_<arch>.deb
# Install it with: sudo apt install ./build-deb/nerin-viewer_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake -S . -B build-deb -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DNERIN_BUILD_TESTS=OFF \
  -DNERIN_BUILD_BENCH=OFF >/dev/null
# Only what the package holds.
cmake --build build-deb --target nerin-viewer nerin-cli -- -j"$(nproc)"
rm -f build-deb/nerin-viewer_*.deb
(cd build-deb && cpack -G DEB >/dev/null)
ls build-deb/nerin-viewer_*.deb
