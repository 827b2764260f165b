#!/usr/bin/env bash
# Sets up, builds and runs every test:
#   0. formatting (.clang-format) and the layers' includes are checked;
#   1. the release build (gcc, -O3, warnings are errors) and all its tests;
#   2. a clang build with AddressSanitizer + UndefinedBehaviorSanitizer of
#      every library without windows, its tests, and each fuzz target for a
#      few seconds, two at a time.
# FUZZ_SECONDS (default 10) bounds each fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh

jobs=2
fuzz_seconds=${FUZZ_SECONDS:-10}

echo "== checks =="
bash scripts/check-format.sh
bash scripts/check-layers.sh

echo "== build =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELIKON_WERROR=ON
cmake --build build -j"$jobs"
echo "== tests =="
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build =="
CC=clang CXX=clang++ cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELIKON_WERROR=ON \
  -DPELIKON_SANITIZE=ON -DPELIKON_FUZZ=ON -DPELIKON_GUI=OFF -DPELIKON_BENCH=OFF
cmake --build build-san -j"$jobs"
echo "== tests under sanitizers =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-san --output-on-failure -j"$jobs"

echo "== fuzzing, ${fuzz_seconds} s each, ${jobs} at a time =="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One fuzz target for its time; on failure the end of its log and its name.
run_fuzz() {
  local target=$1 name
  name=$(basename "$target")
  mkdir -p "$work/$name"
  local seeds="$root/tests/fuzz/corpus/$name"
  if ! "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=0 \
    -artifact_prefix="$work/$name-" "$work/$name" ${seeds:+"$seeds"} 2>"$work/$name.log"; then
    { tail -n 40 "$work/$name.log"; echo "fuzz target $name failed"; } >"$work/$name.failed"
    cat "$work/$name.failed"
    return 1
  fi
  echo "$name: $(grep -E 'Done [0-9]+ runs' "$work/$name.log" | tail -n 1)"
}
# Failures are told by the marker files, not by exit statuses, which the
# shell may already have collected for `jobs`.
for target in build-san/bin/*_fuzz; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_fuzz "$target" &
done
wait || true
if compgen -G "$work/*.failed" >/dev/null; then
  echo "fuzzing found failures"
  exit 1
fi
echo "all tests passed"
