#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into ./build-fuzz and runs each one from its seed
# corpus (fuzz/corpus/<target>/) for a bounded number of runs, two targets at a time.
# Fails when a target crashes, leaks, hangs or breaks one of its checks; the input that
# did it is kept in build-fuzz/fuzz-runs/<target>/.
#
#   tools/run-fuzzers.sh                      every target, 20000 runs each
#   FUZZ_RUNS=1000000 tools/run-fuzzers.sh trace_blocks stored_trace
#
# FUZZ_RUNS (default 20000), FUZZ_JOBS (targets at a time, default 2), FUZZ_SEED (default
# 1, so a run can be repeated; 0 picks one at random).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
runs="${FUZZ_RUNS:-20000}"
jobs="${FUZZ_JOBS:-2}"
seed="${FUZZ_SEED:-1}"

"$root/tools/install-deps.sh" fuzz

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTREL_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target vantrel_fuzzers -j 2

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for dir in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

# One target: a fresh working corpus beside the seeds, so the tree's seeds stay as they are.
run_one() {
  local name="$1" work="$build/fuzz-runs/$1" options=() start status
  rm -rf "$work"
  mkdir -p "$work/corpus"
  case "$name" in
    trace_blocks) options+=(-max_len=4600) ;;   # the longest block, 4518 bytes, and two
    stored_trace) options+=(-max_len=9000) ;;   # past the 8192-character answer limit
  esac
  start=$(date +%s)
  if "$build/bin/${name}_fuzzer" -runs="$runs" -seed="$seed" -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$work/" "${options[@]}" "$work/corpus" "$root/fuzz/corpus/$name" \
      >"$work/log" 2>&1; then
    status=passed
  else
    status=FAILED
  fi
  echo "$name: $status, $runs runs in $(( $(date +%s) - start )) s"
  if [ "$status" = FAILED ]; then
    grep -E "ERROR|fuzz check failed|runtime error|Test unit written" "$work/log" | head -20 >&2
    echo "full log: $work/log" >&2
    return 1
  fi
}

passed=0
failed=0
running=0
finish_one() {
  if wait -n; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  running=$((running - 1))
}
for name in "${targets[@]}"; do
  if [ ! -d "$root/fuzz/corpus/$name" ]; then
    echo "no fuzz target named $name" >&2
    exit 2
  fi
  if [ "$running" -ge "$jobs" ]; then finish_one; fi
  run_one "$name" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do finish_one; done
echo "fuzz targets run $runs times each"
echo "fuzzing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
