// Test support: a fresh virtual installation per test and the library started on it.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "installation_reset.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex::test {

// Resets the installation and installs cards behind the given device numbers.
void install_cards(std::initializer_list<int> devices);

// A test with `Cards` virtual cards (devices 0..Cards-1) opened by quvex_initial and closed
// at the end. Tracing is off and the trace empty when the test body starts.
class CardTest : public ::testing::Test {
protected:
    explicit CardTest(int cards = 1) : cards_(cards) {}
    void SetUp() override;
    void TearDown() override;
    // Clears the trace and switches tracing on.
    static void start_trace();

    int cards_;
};

}  // namespace quvex::test
