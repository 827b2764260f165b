#!/usr/bin/env bash
# Records the golden wire captures in this folder: short sessions of our
# engines (the built xfer tool) with lrzsz, gkermit and C-Kermit, each
# direction, through the recording relay. Run by hand after a build, never
# by CI; the captures it writes are meant to be committed.
#
#   tests/data/golden/record.sh [BUILD_DIR]      (default: build)
#
# Every session sends the originals in files/ under fixed names, with a
# fixed modification time, in universal time, so that a new recording of
# unchanged engines gives the same captures. Each transfer is checked: the
# receiving side must hold exact copies, else the script stops.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
record=$build/bin/golden-record
xfer=$build/bin/xfer
for tool in "$record" "$xfer" rz sz gkermit kermit; do
  command -v "$tool" >/dev/null || { echo "record.sh: $tool is missing" >&2; exit 1; }
done

export TZ=UTC
mtime=1120482856 # 2005-07-04 13:14:16 UTC, an even second for Zmodem's two-second dates
options=(1007 27)  # the options the program passes: the abort key, Escape
classic="set transfer mode manual, set file type binary, set block-check 1, set receive packet-length 94, \
set window 1, set streaming off, set file names literal"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# session NAME PROTOCOL DIRECTION "WIRE=STORED ..." DATES PEER...
# DIRECTION is what our side does; the receiving side starts first. DATES
# says whether the peer, when it sends, gives each file's date.
session() {
  local name=$1 protocol=$2 direction=$3 files=$4 dates=$5
  shift 5
  local dir=$work/$name
  mkdir -p "$dir/ours" "$dir/peer"
  local sender=$dir/peer receiver=$dir/ours first=()
  if [[ $direction == send ]]; then
    sender=$dir/ours receiver=$dir/peer first=(--peer-first)
  fi
  local pairs wires=() pair
  read -ra pairs <<<"$files" # no globbing: names may hold "?"
  for pair in "${pairs[@]}"; do
    local wire=${pair%%=*} stored=${pair#*=}
    cp "$here/files/$stored" "$sender/$wire"
    chmod 644 "$sender/$wire"
    touch -d "@$mtime" "$sender/$wire"
    wires+=("$wire")
  done
  local ours=("$xfer" "$direction" --protocol "$protocol")
  local code
  for code in "${options[@]}"; do ours+=(--option "$code"); done
  [[ $direction == send ]] && ours+=("${wires[@]}")
  {
    echo "# Golden wire capture, recorded by record.sh; see README.md."
    echo "protocol $protocol"
    echo "direction $direction"
    for pair in "${pairs[@]}"; do echo "file ${pair%%=*} ${pair#*=}"; done
    echo "options ${options[*]}"
    echo "mtime $mtime"
    [[ $direction == receive ]] && echo "dates $dates"
    local word line=peer
    for word in "$@"; do [[ $word == *' '* ]] && line+=" \"$word\"" || line+=" $word"; done
    echo "$line"
    "$record" "${first[@]}" --logs "$dir" --ours-dir "$dir/ours" --peer-dir "$dir/peer" "${ours[@]}" --peer "$@"
  } >"$dir/capture"
  for pair in "${pairs[@]}"; do
    if ! cmp -s "$here/files/${pair#*=}" "$receiver/${pair%%=*}"; then
      echo "record.sh: $name: ${pair%%=*} did not arrive intact; logs:" >&2
      cat "$dir"/*.log >&2 || true
      exit 1
    fi
  done
  mv "$dir/capture" "$here/$name.cap"
  echo "recorded $name.cap"
}

# Our side sends a chosen file whose name holds "?"; the replay puts a
# neighbour beside it that the name would match as a pattern.
sent="small.bin=small.bin what?.txt=notes.txt empty.crd=empty.crd"
received="small.bin=small.bin notes.txt=notes.txt empty.crd=empty.crd"

session zmodem-send-rz zmodem send "$sent" - rz -b -y -q
session zmodem-receive-sz zmodem receive "$received" yes sz -b -q small.bin notes.txt empty.crd
session kermit-send-gkermit kermit send "$sent" - gkermit -i -q -P -S -e 94 -w -r
session kermit-receive-gkermit kermit receive "$received" no gkermit -i -q -P -S -e 94 -s small.bin notes.txt empty.crd
session kermit-send-ckermit kermit send "$sent" - \
  kermit -Y -H -q -C "$classic, set file collision overwrite, receive, exit"
session kermit-receive-ckermit kermit receive "$received" yes \
  kermit -Y -H -q -C "$classic, msend small.bin notes.txt empty.crd, exit"
