#!/usr/bin/env bash
# Builds the benchmarks (optimised) and runs each; every benchmark prints
# its figures and its ratio to the reference tool it is measured against.
# The transfer benchmark paces a line at 115200 bit/s for its efficiency
# figures, clean and with bit errors (1e-5 and 1e-4, three seeds each), and
# takes a little over an hour; `scripts/bench.sh --quick` runs it on smaller
# files (`transfer_bench --quick noise` runs only the bit-error runs). The window benchmark runs under a virtual X server; its
# event-loop measurement receives 1 MiB by Zmodem and 64 KiB by Kermit over
# an emulated 9600 bit/s line, about twenty-five minutes (a sixteenth of
# that with --quick). The docked-device benchmark copies 100 MiB each way
# through the connector library against cp and lists a device folder of
# 100,000 files against ls -l, in well under a minute;
# `scripts/bench.sh docked` builds and runs only it. The merge benchmark
# runs `crdtool merge --overwrite` of a 100,000-point file into another
# against cp, reads a history of 1,000,000 transactions with every
# state resolved against cat, and cuts 50,000 points out of a 100,000-point
# file against cp, in about a minute; `scripts/bench.sh merge` builds and
# runs only it. The field-code benchmark converts a 100,000-line
# field-to-finish table with the fieldcodes tool against awk splitting the
# same file, in a few seconds; `scripts/bench.sh fieldcodes` builds and
# runs only it. The geoid benchmark generates a global 2.5' model (37
# million nodes) and cuts a sub-grid from it with geoidtool, in memory and
# with the swap file, against wc -l, in under a minute; `scripts/bench.sh
# geoid` builds and runs only it. The report benchmark turns a 200,000-row
# points table into a grouped, totalled report with reporttool against
# sort | awk computing the same group sums, in a few seconds;
# `scripts/bench.sh report` builds and runs only it. The matrix benchmark
# forms the normal matrix of a 5,000 x 300 design matrix with diagonal
# weights, factors it and inverts it with the matrix library against the
# same work written directly in Eigen, in a few seconds; `scripts/bench.sh
# matrix` builds and runs only it.
set -euo pipefail
cd "$(dirname "$0")/.."
quick=""
only=""
for arg in "$@"; do
  case "$arg" in
    --quick) quick="--quick" ;;
    docked | merge | fieldcodes | geoid | report | matrix) only="$arg" ;;
    *)
      echo "usage: scripts/bench.sh [--quick] [docked|merge|fieldcodes|geoid|report|matrix]" >&2
      exit 2
      ;;
  esac
done
bash scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELIKON_GUI=ON -DPELIKON_TESTS=ON >/dev/null

docked() {
  echo "== docked device: 100 MiB each way against cp, listing 100,000 files against ls -l =="
  build-bench/bin/docked_bench 100 100000 5
}

merge() {
  echo "== merge: 100,000 points into 100,000 against cp; history of 1,000,000 transactions against cat; cut of 50,000 points against cp =="
  build-bench/bin/merge_bench all 100000 1000000 10000 5
}

fieldcodes() {
  echo "== field codes: a 100,000-line table converted against awk splitting it =="
  build-bench/bin/fieldcodes_bench 100000 9
}

geoid() {
  echo "== geoid: a sub-grid cut from a 2.5' global model against wc -l of the model, in memory and with the swap file =="
  build-bench/bin/geoid_bench 3 2.5
}

report() {
  echo "== report: a 200,000-row points table sorted, grouped and totalled against sort | awk =="
  build-bench/bin/report_bench 200000 5
}

matrix() {
  echo "== matrix: J^T W J of a 5,000 x 300 design matrix, its Cholesky factor and inverse, against Eigen =="
  build-bench/bin/matrix_bench 7 5000 300
}

# The targets each benchmark that runs on its own needs.
declare -A targets=(
  [geoid]="geoid_bench geoidtool"
  [docked]="docked_bench tolvane"
  [merge]="merge_bench crdtool"
  [fieldcodes]="fieldcodes_bench fieldcodes"
  [report]="report_bench reporttool"
  [matrix]="matrix_bench"
)
if [ -n "$only" ]; then
  # shellcheck disable=SC2086
  cmake --build build-bench -j2 --target ${targets[$only]}
  "$only"
  exit 0
fi
cmake --build build-bench -j2 --target listing_bench serial_bench crd_bench merge_bench crdtool docked_bench tolvane \
  fieldcodes_bench fieldcodes geoid_bench geoidtool report_bench reporttool matrix_bench transfer_bench xfer window_bench collector-sim
echo "== listing: 100,000 files =="
build-bench/bin/listing_bench 100000 5
echo "== serial driver: idle wait and line exchange over a pty pair =="
build-bench/bin/serial_bench 2000
echo "== CRD: 20,000 points stored into a 20,000-point alphanumeric file, one by one and in bulk =="
build-bench/bin/crd_bench 20000 5
merge
fieldcodes
geoid
report
matrix
docked
echo "== transfers: Zmodem against lrzsz, Kermit against gkermit =="
build-bench/bin/transfer_bench $quick
echo "== main window: local pane filled from 100,000 files; event-loop gaps during a transfer at 9600 bit/s =="
gap_bytes=1048576
if [ -n "$quick" ]; then gap_bytes=65536; fi
xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bin/window_bench fill 100000 5
xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bin/window_bench merge 100000 3
xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bin/window_bench gap "$gap_bytes" zmodem
xvfb-run -a -s "-screen 0 1280x1024x24" build-bench/bin/window_bench gap $((gap_bytes / 16)) kermit
