#!/usr/bin/env bash
# Builds the Debian package pelikon_<version>_amd64.deb into the current
# folder (or OUT_DIR): a Release build of the program and its tools in
# build-package/ (or BUILD_DIR), then CPack. When lintian is installed, the
# package is checked with it and any error fails the script.
#
#   scripts/package.sh                 # -> ./pelikon_1.52_amd64.deb
#   sudo apt install ./pelikon_1.52_amd64.deb
#
# On a shared machine the build waits for the lock file PELIKON_BUILD_LOCK
# (default /tmp/pelikon-build.lock) and uses JOBS (default 2) jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-package}
out_dir=${OUT_DIR:-$(pwd)}
jobs=${JOBS:-2}
lock=${PELIKON_BUILD_LOCK:-/tmp/pelikon-build.lock}

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPELIKON_TESTS=OFF -DPELIKON_BENCH=OFF >/dev/null
if command -v flock >/dev/null; then
  flock "$lock" cmake --build "$build_dir" -j"$jobs"
else
  cmake --build "$build_dir" -j"$jobs"
fi

rm -f "$build_dir"/pelikon_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(ls "$build_dir"/pelikon_*.deb)
mkdir -p "$out_dir"
cp "$deb" "$out_dir/"
deb="$out_dir/$(basename "$deb")"
echo "$deb"

if command -v lintian >/dev/null; then
  # Errors fail the package; warnings are shown.
  lintian --fail-on error "$deb"
fi
