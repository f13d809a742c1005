#!/usr/bin/env bash
# Installs what building lacks (not the test tools), builds the library on the virtual
# installation in build/default and runs the demo; its plots land in build/default/demo-plots.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh demo
source tools/configure.sh
# The folder is shared with tools/test.sh: a choice of test suites made there is kept.
tests=$(sed -n 's/^QUVEX_TESTS:BOOL=//p' build/default/CMakeCache.txt 2>/dev/null || true)
configure build/default -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVEX_TESTS="${tests:-OFF}" -DQUVEX_BENCH=OFF \
  -DQUVEX_DEMO=ON
cmake --build build/default -j2 --target quvex_demo
plots=build/default/demo-plots
rm -rf "$plots" && mkdir -p "$plots"
(cd "$plots" && ../demo/quvex_demo "$@")
echo
echo "The demo's plots: $(find "$plots" -name '*.svg' | wc -l) SVG files in $PWD/$plots"
