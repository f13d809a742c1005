#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: the plain build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build, and the ThreadSanitizer build; then the
# Windows builds (QUVEX_SKIP_WINDOWS=1 leaves them out): the 32-bit DLLs with their export check,
# and the 64-bit suites and the Win32 backend test under Wine. "tools/test.sh windows" runs only
# the Windows part.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
jobs=2

run_suite() {  # name, extra cmake arguments...
  local name=$1; shift
  echo "== $name"
  cmake -S . -B "build/$name" -DQUVEX_TESTS=ON -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF "$@" >/dev/null
  cmake --build "build/$name" -j"$jobs"
  ctest --test-dir "build/$name" -j"$jobs" --output-on-failure
}

run_fuzz() {
  bash tools/install-deps.sh fuzz
  echo "== fuzz: every export under libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVEX_FUZZ=ON \
    -DQUVEX_SANITIZE=address,undefined -DQUVEX_TESTS=OFF -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF >/dev/null
  cmake --build build/fuzz -j"$jobs" --target quvex_fuzz
  ctest --test-dir build/fuzz --output-on-failure --no-tests=error
}

run_windows() {
  local start=$SECONDS
  bash tools/install-deps.sh windows
  echo "== windows-i686: quvex.dll and quvex_sim.dll for 32-bit Windows, export check"
  cmake -S . -B build/windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUVEX_TESTS=OFF -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF >/dev/null
  cmake --build build/windows-i686 -j"$jobs"
  ctest --test-dir build/windows-i686 --output-on-failure
  echo "== windows-x64: the suites on the virtual installation and the Win32 backend test, under Wine"
  cmake -S . -B build/windows-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF >/dev/null
  cmake --build build/windows-x64 -j"$jobs"
  bash cmake/wine-run.sh "$PWD/build/windows-x64/wine" --init
  local rc=0
  ctest --test-dir build/windows-x64 -j"$jobs" --output-on-failure || rc=$?
  bash cmake/wine-run.sh "$PWD/build/windows-x64/wine" --stop
  [ "$rc" -eq 0 ] || return "$rc"
  echo "windows part: $((SECONDS - start)) s"
}

# "tools/test.sh windows" runs the Windows part alone, "tools/test.sh fuzz" the fuzz campaign.
if [ "${1:-}" = "fuzz" ]; then
  run_fuzz
  echo "fuzz campaign passed"
  exit 0
fi
if [ "${1:-}" = "windows" ]; then
  run_windows
  echo "windows suites passed"
  exit 0
fi

run_suite default -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite asan-ubsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=address,undefined
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  run_suite tsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=thread
run_fuzz

if [ "${QUVEX_SKIP_WINDOWS:-0}" != "1" ]; then
  run_windows
fi
echo "all suites passed"
