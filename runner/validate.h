// Everything about a scenario and the run's options that can be known before the clock moves:
// keys at every level, step times, exports and their argument counts, expectation names, and
// the output files. A mistake is reported before anything runs, not after a long run.
#pragma once

#include <nlohmann/json.hpp>

#include "scenario.h"

namespace quvex_runner {

// The latest scenario time accepted (s): a time far past any run is a mistake, and with sensors
// it would run for ever.
constexpr double kLongestRun = 1e6;

// Throws ScenarioError naming the first mistake.
void validate_scenario(const nlohmann::json& scenario, const RunOptions& options);

// Throws ScenarioError when `path` cannot be opened for writing (a file it creates is removed).
void check_writable(const std::string& path, const char* option);

}  // namespace quvex_runner
