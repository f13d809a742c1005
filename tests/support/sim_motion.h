// What the virtual installation reports of a card-0 axis's motion: its summary and its samples.
#pragma once

#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include "quvex/sim_motion.h"

namespace quvex::test {

inline quvex_sim_motion_info motion_info(int axis) {
    quvex_sim_motion_info info{};
    EXPECT_EQ(quvex_sim_motion_info_get(0, axis, &info), 0);
    return info;
}

inline std::vector<quvex_sim_motion_sample> motion_samples(int axis) {
    std::vector<quvex_sim_motion_sample> out(static_cast<std::size_t>(quvex_sim_motion_samples(0, axis, nullptr, 0)));
    const int n = quvex_sim_motion_samples(0, axis, out.data(), static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace quvex::test
