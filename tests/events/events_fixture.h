// Fixture of the interrupt tests: cards opened by quvex_initial, a callback that records the
// AxisNo it is called with, and no stop-reason log open at the start.
#pragma once

#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "events/error_log.h"
#include "sim_fixture.h"

namespace quvex::test {

inline std::atomic<int> g_callback_calls{0};
inline std::atomic<int> g_callback_axis{-1};

inline void QUVEX_CALL record_axis(int32_t axis_no) {
    g_callback_axis.store(axis_no);
    g_callback_calls.fetch_add(1);
}

// The bytes of a file as they lie on disk.
inline std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A path in the test's working folder, removed before the test uses it.
inline std::string scratch_file(const std::string& name) {
    std::remove(name.c_str());
    return name;
}

class EventsTest : public CardTest {
protected:
    explicit EventsTest(int cards = 1) : CardTest(cards) {}
    void SetUp() override {
        g_callback_calls.store(0);
        g_callback_axis.store(-1);
        CardTest::SetUp();
    }
    void TearDown() override {
        CardTest::TearDown();
    }
};

}  // namespace quvex::test
