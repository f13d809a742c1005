// The virtual installation under the fuzzed calls: built from the input's first bytes, changed
// by actions between calls, and torn down after each input so that inputs do not depend on
// one another.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

namespace quvex_fuzz {

// A fresh installation: up to three cards (with gaps in the device numbers and driver faults
// now and then), I/O slaves on their rings, and the library started on it or not.
void start_installation(FuzzedDataProvider& in);
// One action on the installation: an axis input, TTL inputs, the clock, a thread-creation or
// event fault, a ring slave appearing, leaving or going silent, ring status faults.
void installation_action(FuzzedDataProvider& in);
// Closes the library and resets the installation.
void end_installation();
// Removes the files prepared for path arguments.
void remove_prepared_files();

}  // namespace quvex_fuzz
