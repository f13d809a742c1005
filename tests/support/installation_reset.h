// A fresh virtual installation and the library's process-wide state as at load. Used by the
// test fixtures and by the fuzz target (which has no test framework).
#pragma once

namespace quvex::test {

// Resets the virtual installation and the library's process-wide state: the card table, the
// move ratios and the ring slots. Every fixture starts from here.
void reset_installation();

}  // namespace quvex::test
