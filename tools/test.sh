#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and runs every test.
#   tools/test.sh          the normal build (warnings are errors when CI=true)
#   tools/test.sh --asan   the same tests under AddressSanitizer + UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

preset=default
if [ "${1:-}" = "--asan" ]; then
  preset=asan
elif [ "${CI:-}" = "true" ]; then
  preset=ci
fi

# Configured again even after tools/run.sh: the tests appear once GoogleTest is installed.
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -- -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)" --timeout 600 --no-tests=error
