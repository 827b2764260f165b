#!/usr/bin/env bash
# Installs every Debian package that building, testing, benchmarking and the
# demo need. Idempotent: when everything is present it only asks dpkg and exits.
# Runs as root (or through sudo) with no standard input.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  libwxgtk3.2-dev libcurl4-openssl-dev libasound2-dev gettext
  libgdal-dev proj-data
  libeigen3-dev
  libxlsxwriter-dev libzip-dev libsqlite3-dev unixodbc-dev libsqliteodbc odbcinst python3-openpyxl
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth poppler-utils
  lrzsz gkermit ckermit
  clang libclang-rt-14-dev clang-format
  dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo -n"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq </dev/null
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
