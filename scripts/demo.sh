#!/usr/bin/env bash
# Sets up, builds and starts Pelikon against the built-in simulated
# collector: a two-pane transfer program with sample files on both sides
# and no hardware. With --docked the sample collector is a docked device
# folder reached through the connector library. Nothing of your own
# settings is changed. Exits 0 when the demo ran (without a display: when
# the picture of it was saved).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target pelikon collector-sim tolvane
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "demo: no display to show the window on; running it on a virtual one and saving a picture" >&2
  mkdir -p build/test-output
  picture=build/test-output/demo.png
  if [ "${1:-}" = "--docked" ]; then picture=build/test-output/demo_docked.png; fi
  exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/pelikon --demo "$@" --screenshot "$picture"
fi
status=0
build/bin/pelikon --demo "$@" || status=$?
# A session without an unattended job ends with the program's "no job ran"
# code, -1 (255 here): for the demo that is the normal end.
if [ "$status" -eq 255 ]; then status=0; fi
exit "$status"
