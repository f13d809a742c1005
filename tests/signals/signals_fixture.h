// Fixture of the machine-signal tests: one card opened by the library, a callback that records
// which axes it was called for, the stop-reason log open, and helpers to read what an axis did.
#pragma once

#include <atomic>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "events/error_log.h"
#include "sim_fixture.h"

namespace quvex::test {

inline std::atomic<unsigned> g_signal_callback_axes{0};

inline void QUVEX_CALL record_signal_callback(int32_t axis_no) {
    if (axis_no >= 0 && axis_no < 32) g_signal_callback_axes.fetch_or(1u << axis_no);
}

class SignalsTest : public CardTest {
protected:
    void SetUp() override {
        g_signal_callback_axes.store(0);
        CardTest::SetUp();
    }
    void TearDown() override {
        CardTest::TearDown();
    }

    // Interrupts of every axis on stops, the callback linked and the log open at `path`.
    void watch_stops(const std::string& path) {
        std::remove(path.c_str());
        log_path_ = path;
        ASSERT_EQ(quvex_int_enable(0, nullptr), QUVEX_OK);
        for (int16_t a = 0; a < 4; ++a) ASSERT_EQ(quvex_set_int_factor(a, 0x21), QUVEX_OK);
        ASSERT_EQ(quvex_link_interrupt(0, record_signal_callback), QUVEX_OK);
        ASSERT_EQ(quvex_error_log(path.c_str()), QUVEX_OK);
    }

    // The log's lines without their number and time ("Axis:1,ALM happen and stop"), sorted;
    // the library is closed first so that the file is complete.
    std::vector<std::string> log_lines() {
        quvex_close();
        std::ifstream in(log_path_, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::multiset<std::string> lines;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find('\n', at);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(at, end - at);
            while (!line.empty() && line.back() == '\r') line.pop_back();
            const std::size_t axis = line.find("Axis:");
            if (axis != std::string::npos) lines.insert(line.substr(axis));
            at = end + 1;
        }
        return {lines.begin(), lines.end()};
    }

    static quvex_sim_motion_info motion(int axis) {
        quvex_sim_motion_info info{};
        quvex_sim_motion_info_get(0, axis, &info);
        return info;
    }

    std::string log_path_;
};

}  // namespace quvex::test
