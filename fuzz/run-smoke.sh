#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz preset and fuzzes, N seconds each (default 60):
#   nerin-fuzz-load  the plan loader on any bytes (XML), seeded with fuzz/seeds and tests/data;
#   nerin-fuzz-mpp   the compound-file reader and the binary plan reader, seeded with the binary
#                    samples of ../shared/mpp/pairs where that folder is (read in place, never
#                    copied) and with fuzz/seeds-mpp.
# New inputs go to fuzz/corpus-work/<target>/corpus, crashes to fuzz/corpus-work/<target>/artifacts
# (not in git). Exits non-zero when libFuzzer finds a crash, a leak or a timeout in either.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
shared="${NERIN_SHARED_DIR:-${root}/../shared}"

cd "${root}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target nerin-fuzz-load nerin-fuzz-mpp

# run TARGET DICTIONARY SEED-FOLDER...
run() {
  local target="$1" dictionary="$2"
  shift 2
  local work="${root}/fuzz/corpus-work/${target}"
  mkdir -p "${work}/corpus" "${work}/artifacts"
  "${root}/build-fuzz/bin/${target}" \
    -max_total_time="${seconds}" \
    -max_len=1048576 \
    -timeout=20 \
    -rss_limit_mb=3072 \
    -print_final_stats=1 \
    -dict="${dictionary}" \
    -artifact_prefix="${work}/artifacts/" \
    "${work}/corpus" "$@"
}

seeds=("${root}/fuzz/seeds")
if [ -d "${root}/tests/data" ]; then seeds+=("${root}/tests/data"); fi
run nerin-fuzz-load "${root}/fuzz/plan.dict" "${seeds[@]}"

mpp_seeds=("${root}/fuzz/seeds-mpp")
if [ -d "${shared}/mpp/pairs" ]; then
  mpp_seeds+=("${shared}/mpp/pairs")
else
  echo "run-smoke: ${shared}/mpp/pairs is not there; nerin-fuzz-mpp starts from fuzz/seeds-mpp alone" >&2
fi
run nerin-fuzz-mpp "${root}/fuzz/mpp.dict" "${mpp_seeds[@]}"
