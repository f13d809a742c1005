#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing. Pass "windows" to add the
# MinGW-w64 cross compilers (with the POSIX thread model), the GoogleTest sources for the cross
# builds, Wine's 64-bit loader and python3 (export tables and the export check); "fuzz" adds clang
# with its sanitizer and libFuzzer runtimes.
set -euo pipefail
need=()
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
for p in cmake g++ make libgtest-dev libbenchmark-dev python3 python3-pytest libcli11-dev nlohmann-json3-dev \
         pkg-config libcpp-httplib-dev; do have "$p" || need+=("$p"); done
# The front panel's browser test: headless Chromium through WebDriver. Installed unless the
# argument is "no-browser" (machines where no browser can be installed skip that test).
if [ "${1:-}" != "no-browser" ]; then
  for p in chromium chromium-driver python3-selenium; do have "$p" || need+=("$p"); done
fi
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
