#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite, stage by stage:
#   plain        the RelWithDebInfo build and every suite (build/default)
#   asan-ubsan   every suite under AddressSanitizer + UndefinedBehaviorSanitizer (Debug)
#   tsan         the suites where threads meet under ThreadSanitizer (Debug)
#   fuzz         libFuzzer over every export: the kept regressions and a short campaign
#   windows      the 32-bit DLLs and their export check; the 64-bit suites under Wine
# and prints each stage's time at the end (also when a stage fails).
#
#   tools/test.sh           everything (QUVEX_SKIP_WINDOWS=1 leaves the Windows stages out)
#   tools/test.sh quick     the inner loop: the plain build, rebuilt for what changed, and its suites
#   tools/test.sh fuzz      the fuzz stage alone
#   tools/test.sh windows   the Windows stages alone
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-all}
case "$mode" in all|quick|fuzz|windows) ;; *) echo "usage: tools/test.sh [quick|fuzz|windows]" >&2; exit 2 ;; esac
bash tools/install-deps.sh
jobs=2

# ---- stage clock -------------------------------------------------------------------------------
stage_names=()
stage_times=()
stage_started=0
current_stage=""
begin_stage() { current_stage=$1; stage_started=$SECONDS; echo "== $1"; }
end_stage() {
  stage_names+=("$current_stage"); stage_times+=("$((SECONDS - stage_started)) s")
  current_stage=""
}
print_stage_times() {
  local rc=$?
  if [ -n "$current_stage" ]; then
    stage_names+=("$current_stage"); stage_times+=("$((SECONDS - stage_started)) s, failed")
  fi
  if [ "${#stage_names[@]}" -gt 0 ]; then
    echo
    echo "stage times"
    local i
    for i in "${!stage_names[@]}"; do printf '  %-34s %s\n' "${stage_names[$i]}" "${stage_times[$i]}"; done
    printf '  %-34s %s\n' "total" "$SECONDS s"
  fi
  return "$rc"
}
trap print_stage_times EXIT

# ---- building -----------------------------------------------------------------------------------
source tools/configure.sh

run_suite() {  # name, extra cmake arguments...
  local name=$1; shift
  begin_stage "$name"
  configure "build/$name" -DQUVEX_TESTS=ON -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF "$@"
  cmake --build "build/$name" -j"$jobs"
  ctest --test-dir "build/$name" -j"$jobs" --output-on-failure
  end_stage
}

# ThreadSanitizer adds what the other stages cannot see where threads meet: the callback and
# compare-event threads (events, compare), the ring's watchdog and transfers (ring), start-up and
# close against running threads (frame), the thread soak (hardening), the virtual machine's
# scheduler (sim) and the front panel's server threads (panel). The other suites drive one thread
# and run under AddressSanitizer.
tsan_rooms=(events compare ring frame hardening sim panel)
run_tsan() {
  begin_stage tsan
  configure build/tsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=thread -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF
  cmake --build build/tsan -j"$jobs" --target "${tsan_rooms[@]/#/test_}"
  local pattern
  pattern="^($(IFS='|'; echo "${tsan_rooms[*]}"))\$"
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build/tsan -j"$jobs" --output-on-failure -R "$pattern" --no-tests=error
  end_stage
}

run_fuzz() {
  bash tools/install-deps.sh fuzz
  begin_stage "fuzz: regressions and campaign"
  CC=clang CXX=clang++ configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVEX_FUZZ=ON \
    -DQUVEX_SANITIZE=address,undefined -DQUVEX_TESTS=OFF -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF
  cmake --build build/fuzz -j"$jobs" --target quvex_fuzzers
  ctest --test-dir build/fuzz --output-on-failure --no-tests=error
  end_stage
}

wine_prefix="$PWD/build/windows-x64/wine"
run_windows() {
  bash tools/install-deps.sh windows
  # Wine makes its prefix while the DLLs build; the suites wait for it (cmake/wine-run.sh).
  mkdir -p build/windows-x64
  bash cmake/wine-run.sh "$wine_prefix" --init >/dev/null 2>&1 &
  local wine_init=$!
  begin_stage "windows-i686: DLLs, export check"
  configure build/windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUVEX_TESTS=OFF -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF
  cmake --build build/windows-i686 -j"$jobs"
  ctest --test-dir build/windows-i686 --output-on-failure
  end_stage
  begin_stage "windows-x64: suites under Wine"
  configure build/windows-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DQUVEX_BENCH=OFF -DQUVEX_DEMO=OFF
  cmake --build build/windows-x64 -j"$jobs"
  wait "$wine_init" || true
  bash cmake/wine-run.sh "$wine_prefix" --init
  local rc=0
  ctest --test-dir build/windows-x64 -j"$jobs" --output-on-failure || rc=$?
  bash cmake/wine-run.sh "$wine_prefix" --stop
  [ "$rc" -eq 0 ] || return "$rc"
  end_stage
}

case "$mode" in
  quick)
    # Ninja rebuilds only what the change reaches; the plain suites then run in seconds.
    run_suite default -DCMAKE_BUILD_TYPE=RelWithDebInfo
    echo "quick suites passed"
    ;;
  fuzz)
    run_fuzz
    echo "fuzz campaign passed"
    ;;
  windows)
    run_windows
    echo "windows suites passed"
    ;;
  all)
    run_suite default -DCMAKE_BUILD_TYPE=RelWithDebInfo
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      run_suite asan-ubsan -DCMAKE_BUILD_TYPE=Debug -DQUVEX_SANITIZE=address,undefined
    run_tsan
    run_fuzz
    if [ "${QUVEX_SKIP_WINDOWS:-0}" != "1" ]; then
      run_windows
    fi
    echo "all suites passed"
    ;;
esac
