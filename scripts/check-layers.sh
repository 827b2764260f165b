#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own, and
# lists each offending line. The layers, lowest first (docs/ARCHITECTURE.md
# explains them):
#
#   platform  <  pointid  <  records  <  dialogs (core)  <  dialogs/wx
#   platform  <  link, coord, geoid, activesync (geoid on platform only)
#   matrix stands on nothing of ours (Eigen inside, never in its header)
#   app  sits on link, coord, geoid, records, dialogs (core), pointid, platform,
#        and the C interfaces of the libraries it loads by name
#        (activesync/activesync_connect.h, report/report_api.h)
#   report sits on dialogs, records, pointid, platform (never app, link, gui)
#   gui  sits on everything in src/; tools on everything but gui
#
# Only src/gui and src/dialogs/wx (and report/wx, when it exists) may
# include wxWidgets.
set -euo pipefail
cd "$(dirname "$0")/.."

# Folder (as a path prefix) -> the include roots it may use. The first
# matching prefix wins, so sub-folders come before their parents.
rules=(
  "src/platform/=platform"
  "src/pointid/=pointid platform"
  "src/records/=records pointid platform"
  "src/dialogs/wx/=dialogs records pointid platform wx"
  "src/dialogs/=dialogs records pointid platform"
  "src/coord/=coord records pointid platform"
  "src/link/=link platform"
  "src/geoid/=geoid platform"
  "src/activesync/=activesync platform"
  "src/matrix/=matrix"
  "src/report/wx/=report dialogs records pointid platform wx"
  "src/report/=report dialogs records pointid platform"
  "src/app/=app link coord geoid records dialogs pointid platform activesync report"
  "src/gui/=gui app link coord geoid report records dialogs pointid platform wx"
  "tools/=tools app link coord geoid report matrix records dialogs pointid platform"
)

allowed_for() {
  local file=$1 rule
  for rule in "${rules[@]}"; do
    if [[ $file == "${rule%%=*}"* ]]; then
      echo "${rule#*=}"
      return
    fi
  done
  echo "*"  # tests, benchmarks and anything else may include every layer
}

status=0
while IFS= read -r file; do
  allowed=$(allowed_for "$file")
  [ "$allowed" = "*" ] && continue
  # "root/..." project headers and <wx/...> headers.
  while IFS=: read -r line root; do
    # The toolkit's core never reaches into its own windows.
    if [[ $file == src/dialogs/* && $file != src/dialogs/wx/* ]] &&
      grep -qE '^#include "dialogs/wx/' <(sed -n "${line}p" "$file"); then
      root=dialogs/wx
    fi
    if [[ " $allowed " != *" $root "* ]]; then
      echo "$file:$line: includes $root/ (this layer may include: $allowed)"
      status=1
    fi
  done < <(grep -nE '^#include ("[a-z_]+/|<wx/)' "$file" | sed -E 's/^([0-9]+):#include ["<]([a-z_]+)\/.*/\1:\2/')
done < <(git ls-files 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h')

# Outside their own folders the libraries the program loads by name are
# known by their C interfaces alone: the program never links their code.
# A tool may stand on a library's core as it stands on any other
# (reporttool drives the report formatter the way its window will).
for library in "activesync:activesync_connect.h" "report:report_api.h"; do
  folder=${library%%:*} interface=${library#*:}
  while IFS=: read -r file line text; do
    echo "$file:$line: includes the inside of $folder/ ($text); only $folder/$interface may be used"
    status=1
  done < <(git ls-files 'src/*.cpp' 'src/*.h' | grep -v "^src/$folder/" |
    xargs grep -nE "^#include \"$folder/" | grep -v "$folder/$interface\"" || true)
done

# The matrix library's one public header never names Eigen: the library's
# users build without it, and the interface outlives the arithmetic under it.
while IFS=: read -r line text; do
  echo "src/matrix/matrix.h:$line: $text (Eigen stays inside src/matrix)"
  status=1
done < <(grep -nE '^#include [<"](Eigen|unsupported)/|^#include "matrix/eigen_view\.h"' src/matrix/matrix.h || true)

if [ $status -ne 0 ]; then
  echo "layer check failed: move the code down a layer or the include up" >&2
  exit 1
fi
echo "layers: every include stays within its layer"
