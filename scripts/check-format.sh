#!/usr/bin/env bash
# Fails when a C++ file of the repository departs from .clang-format.
# With --fix it rewrites the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/pelikon-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/pelikon-format.$$ | cut -d: -f1 | sort -u | sed 's/^/needs formatting: /'
  rm -f /tmp/pelikon-format.$$
  echo "run scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/pelikon-format.$$
echo "format: $(printf '%s\n' "${files[@]}" | wc -l) files clean"
