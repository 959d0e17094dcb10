#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the fuzz targets (preset "fuzz": clang, ASan + UBSan) and runs each
# for SECONDS (default 60) from its seed corpus in fuzz/corpus/<target>.
# New inputs gather in build/fuzz/corpus/<target>; a failing input is saved
# as build/fuzz/artifacts/<target>-crash-... (or -timeout-, -oom-), and the
# script exits non-zero after running every target.
#   fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(toolkit_fuzzer hvsim_input_fuzzer session_player_fuzzer)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}"

# Per input: 20 s at most (a forked toolkit child gives up after 15 s).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for target in "${targets[@]}"; do
  work=build/fuzz/corpus/$target
  artifacts=build/fuzz/artifacts
  mkdir -p "$work" "$artifacts"
  log=build/fuzz/$target.log
  echo "== $target: ${seconds} s"
  if build/fuzz/fuzz/"$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
      "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^Done ' "$log" || true
  else
    tail -n 40 "$log"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in build/fuzz/artifacts)"
  exit 1
fi
echo "fuzzing: no faults in ${targets[*]}"
