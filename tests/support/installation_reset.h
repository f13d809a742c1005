// A fresh virtual installation and the library's state as at load. Used by the test fixtures and
// by the fuzz target (which has no test framework).
#pragma once

namespace quvex::test {

// Resets the library context (cards, rings, move ratios, the stop-reason log) and then the
// virtual installation. Every fixture starts from here.
void reset_installation();

}  // namespace quvex::test
