#!/usr/bin/env bash
# Refreshes po/pelikon.pot from every text marked with Tr() or N_() in src/.
set -euo pipefail
cd "$(dirname "$0")/.."
find src -name '*.cpp' -o -name '*.h' | sort | xargs xgettext --from-code=UTF-8 --language=C++ \
  --keyword=Tr --keyword=N_ --package-name=Pelikon --sort-by-file --omit-header -o po/pelikon.pot
