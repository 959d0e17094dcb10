#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmark suite in build/release, runs every family's benchmarks
# (single thread, JSON) and the accuracy report, writes bench/results.md and
# bench/ratios.png, and prints the Markdown. Families not yet in the toolkit
# are skipped.
#
#   bench/run.sh                  everything
#   bench/run.sh --quick          a smoke run (one short pass per case); its
#                                 report stays in build/release/bench/results
#   bench/run.sh --filter REGEX   only the benchmark cases matching REGEX
#   bench/run.sh --targets "avx2 scalar"
#                                 the vector targets whose extra column the
#                                 report shows (TISSUESTEWARD_SIMD); the main
#                                 column is the best target the machine has
#
# Needs bench/install-deps.sh once (OpenBLAS runtime, matplotlib).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
out="$build/bench/results"
quick=0
filter=
targets="avx2 scalar"
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --filter) filter=$2; shift ;;
    --targets) targets=$2; shift ;;
    *) echo "usage: $0 [--quick] [--filter REGEX] [--targets \"T ...\"]" >&2; exit 2 ;;
  esac
  shift
done

cd "$root"
cmake --preset release -DTS_BUILD_BENCH=ON >/dev/null
cmake --build --preset release --target ts_bench

export OPENBLAS_NUM_THREADS=1
export TS_FFTW_WISDOM="$build/bench/fftwf.wisdom"
rm -rf "$out"
mkdir -p "$out"

# Machine and load, for the report header.
{
  echo "cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "nproc=$(nproc)"
  echo "date=$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "commit=$(git -C "$root" rev-parse --short HEAD)"
  echo "quick=$quick"
  flags=$(grep -m1 '^flags' /proc/cpuinfo)
  best=sse2
  case " $flags " in *" avx2 "*) best=avx2 ;; esac
  case " $flags " in *" avx512f "*" avx512dq "*) best=avx512 ;; esac
  echo "simd=$best"
  echo "targets=$targets"
} >"$out/machine.txt"

args=(--benchmark_format=json)
[ -n "$filter" ] && args+=("--benchmark_filter=$filter")
export TS_BENCH_QUICK=$quick
report_dir="$root/bench"
[ "$quick" = 1 ] && report_dir="$out"

for exe in "$build"/bench/*_bench; do
  [ -x "$exe" ] || continue
  family=$(basename "$exe" _bench)
  echo "== $family" >&2
  "$exe" "${args[@]}" --benchmark_out="$out/$family.json" --benchmark_out_format=json >/dev/null
  # The toolkit's cases again, capped at each listed target.
  for target in $targets; do
    echo "== $family, ours on $target" >&2
    TISSUESTEWARD_SIMD=$target "$exe" --benchmark_format=json \
      "--benchmark_filter=(${filter:-.}).*@ ours" \
      --benchmark_out="$out/$family@$target.json" --benchmark_out_format=json >/dev/null
  done
done
echo "== accuracy" >&2
"$build/bench/accuracy" "$out/accuracy.json"
{
  echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "finished=$(date -u '+%H:%M UTC')"
} >>"$out/machine.txt"

/usr/bin/python3 "$root/bench/report.py" "$out" "$report_dir/results.md" "$report_dir/ratios.png"
cat "$report_dir/results.md"
echo "wrote $report_dir/results.md and $report_dir/ratios.png" >&2
