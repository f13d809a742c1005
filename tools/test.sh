#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: the plain build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and the ThreadSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=2

run_suite() {  # name, extra cmake arguments...
  local name=$1; shift
  echo "== $name"
  cmake -S . -B "build/$name" -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs"
  ctest --test-dir "build/$name" -j"$jobs" --output-on-failure
}

run_suite default -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite asan-ubsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=address,undefined
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  run_suite tsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=thread
echo "all suites passed"
