#!/usr/bin/env bash
# Builds the benchmarks (optimised) and runs each; every benchmark prints
# its figures and its ratio to the reference tool it is measured against.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELIKON_TESTS=OFF -DPELIKON_GUI=OFF >/dev/null
cmake --build build-bench -j2
echo "== listing: 100,000 files =="
build-bench/bin/listing_bench 100000 5
echo "== serial driver: idle wait and line exchange over a pty pair =="
build-bench/bin/serial_bench 2000
echo "== CRD: 20,000 points stored into a 20,000-point alphanumeric file, one by one and in bulk =="
build-bench/bin/crd_bench 20000 5
