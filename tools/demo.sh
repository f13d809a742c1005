#!/usr/bin/env bash
# Installs what is missing, builds the library on the virtual installation and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVEX_TESTS=OFF -DQUVEX_BENCH=OFF >/dev/null
cmake --build build/release -j2 --target quvex_demo
(cd build/release && ./demo/quvex_demo "$@")
