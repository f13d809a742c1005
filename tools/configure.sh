# Sourced by tools/demo.sh and tools/test.sh: configure FOLDER [CMAKE ARGUMENTS...] configures a
# build folder for Ninja, which schedules the whole build graph at once so both cores stay busy
# to the last link. A folder configured earlier with another generator is made afresh (build
# folders hold nothing but what the build derives).
configure() {
  local dir=$1; shift
  if [ -f "$dir/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$dir/CMakeCache.txt"; then
    rm -rf "$dir"
  fi
  cmake -G Ninja -S . -B "$dir" "$@" >/dev/null
}
