#!/usr/bin/env bash
# Builds the Debian package from an existing build folder with CPack and
# checks it: its name, its control fields (dependencies found by
# dpkg-shlibdeps among them), its file list, and lintian when installed.
#   package_test.sh <build folder> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.txt" 2>&1 || {
  cat "$work/cpack.txt" >&2
  exit 1
}
deb="$work/pelikon_${version}_amd64.deb"
[ -f "$deb" ] || {
  ls "$work" >&2
  fail "no $deb"
  exit 1
}

info=$(dpkg-deb --info "$deb")
echo "$info"
for field in "Package: pelikon" "Version: $version" "Architecture: amd64" "Section: utils" "Priority: optional" \
  "Maintainer: Pelikon Developers <dev@pelikon.invalid>"; do
  grep -qxF " $field" <<<"$info" || fail "control lacks '$field'"
done
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libwxbase3.2-1 libwxgtk3.2-1 libasound2; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
grep -q "^move files between a PC" <<<"$(dpkg-deb --field "$deb" Description)" ||
  fail "no summary line in Description"

dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | sort >"$work/files.txt"
for file in /usr/bin/pelikon /usr/lib/pelikon/collector-sim /usr/lib/pelikon/libtolvane.so /usr/lib/pelikon/libquorvel.so \
  /usr/lib/pelikon/adjust /usr/lib/pelikon/libpelikon_matrix.so \
  /usr/share/applications/pelikon.desktop \
  /usr/share/metainfo/com.veldrasoftware.Pelikon.metainfo.xml /usr/share/icons/hicolor/scalable/apps/pelikon.svg \
  /usr/share/icons/hicolor/48x48/apps/pelikon.png /usr/share/man/man1/pelikon.1.gz \
  /usr/share/doc/pelikon/copyright /usr/share/doc/pelikon/changelog.gz; do
  grep -qxF "$file" "$work/files.txt" || fail "package lacks $file"
done
# Nothing of the build or the tests: no headers, static libraries or test helpers.
if grep -E '\.(h|a|cmake)$|gtest|sample|test' "$work/files.txt"; then fail "package holds build or test files"; fi
# Every file belongs to root, directories are 755 and files 644 or 755.
dpkg-deb --contents "$deb" | awk '$2 != "root/root" || ($1 !~ /^(drwxr-xr-x|-rw-r--r--|-rwxr-xr-x)$/)' >"$work/odd.txt"
[ ! -s "$work/odd.txt" ] || fail "odd owners or modes: $(cat "$work/odd.txt")"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian reports errors"
else
  echo "lintian is not installed: not run"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") checked"
