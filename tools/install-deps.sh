#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing; "demo" leaves the test
# tools out, "no-browser" the browser of the front panel's test. Pass "windows" to add the MinGW-w64 cross compilers (with the POSIX thread model),
# the GoogleTest sources for the cross builds, Wine's 64-bit loader and python3 (export tables
# and the export check); "fuzz" adds clang with its sanitizer and libFuzzer runtimes.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# The build (the front panel's HTTP server among it), and what the README's steps with the
# installed tree use (pkg-config, a virtual environment the binding is installed into with
# Debian's setuptools and wheel).
build_packages=(cmake ninja-build g++ make python3 libcli11-dev nlohmann-json3-dev pkg-config libcpp-httplib-dev
                python3-venv python3-setuptools python3-wheel)
# The trace-export tests convert VCD with GTKWave's vcd2fst; the binding's plot test draws with
# matplotlib.
test_packages=(libgtest-dev libbenchmark-dev python3-pytest gtkwave python3-matplotlib)
# The front panel's browser test: headless Chromium through WebDriver. "no-browser" leaves it out
# (machines where no browser can be installed skip that test).
browser_packages=(chromium chromium-driver python3-selenium)
case "${1:-}" in
  demo) wanted=("${build_packages[@]}") ;;
  no-browser) wanted=("${build_packages[@]}" "${test_packages[@]}") ;;
  *) wanted=("${build_packages[@]}" "${test_packages[@]}" "${browser_packages[@]}") ;;
esac
for p in "${wanted[@]}"; do have "$p" || need+=("$p"); done
if [ "${1:-}" = "windows" ]; then
  for p in g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
           googletest wine64; do
    have "$p" || need+=("$p")
  done
  command -v python3 >/dev/null 2>&1 || need+=(python3)
fi
if [ "${1:-}" = "fuzz" ]; then
  # The runtimes are only recommended by clang, so they are named: the distribution's clang
  # version decides the package name.
  have clang || need+=(clang)
fi
if [ "${#need[@]}" -gt 0 ]; then
  echo "installing: ${need[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
if [ "${1:-}" = "fuzz" ]; then
  # clang only recommends its sanitizer and libFuzzer runtimes; their package carries clang's
  # major version.
  major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -1)
  if ! have "libclang-rt-$major-dev"; then
    echo "installing: libclang-rt-$major-dev"
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "libclang-rt-$major-dev" >/dev/null
  fi
fi
