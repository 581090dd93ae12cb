#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz preset and fuzzes the plan loader for N seconds (default 60).
# New inputs go to fuzz/corpus-work/corpus, crashes to fuzz/corpus-work/artifacts (not in git).
# Exits non-zero when libFuzzer finds a crash, a leak or a timeout.
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="${root}/fuzz/corpus-work"

cd "${root}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target nerin-fuzz-load

mkdir -p "${work}/corpus" "${work}/artifacts"
seeds=("${root}/fuzz/seeds")
if [ -d "${root}/tests/data" ]; then seeds+=("${root}/tests/data"); fi

exec "${root}/build-fuzz/bin/nerin-fuzz-load" \
  -max_total_time="${seconds}" \
  -max_len=1048576 \
  -timeout=20 \
  -rss_limit_mb=3072 \
  -print_final_stats=1 \
  -dict="${root}/fuzz/plan.dict" \
  -artifact_prefix="${work}/artifacts/" \
  "${work}/corpus" "${seeds[@]}"
