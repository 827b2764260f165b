#!/usr/bin/env bash
# Builds the benchmarks (optimised) and runs each; every benchmark prints
# its figures and its ratio to the reference tool it is measured against.
# The transfer benchmark paces a line at 115200 bit/s for its efficiency
# figures and takes about half an hour; `scripts/bench.sh --quick` runs it
# on smaller files.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=""
if [ "${1:-}" = "--quick" ]; then quick="--quick"; fi
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELIKON_GUI=OFF >/dev/null
cmake --build build-bench -j2 --target listing_bench serial_bench crd_bench transfer_bench xfer
echo "== listing: 100,000 files =="
build-bench/bin/listing_bench 100000 5
echo "== serial driver: idle wait and line exchange over a pty pair =="
build-bench/bin/serial_bench 2000
echo "== CRD: 20,000 points stored into a 20,000-point alphanumeric file, one by one and in bulk =="
build-bench/bin/crd_bench 20000 5
echo "== transfers: Zmodem against lrzsz, Kermit against gkermit =="
build-bench/bin/transfer_bench $quick
