// Runs a machine scenario on the virtual installation: the cards, sensors and ring stations it
// declares, then its timeline of export calls, input changes, clock advances and expectations.
#pragma once

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace quvex_runner {

struct RunOptions {
    double realtime_scale = 0;  // > 0: the clock follows the wall clock times this scale
    int progress = -1;          // 1 always, 0 never, -1 on runs of 10 s of virtual time or more
    std::string csv_path;       // trace table written at the end, when given
    std::string vcd_path;       // trace waveform written at the end, when given
    std::string svg_path;       // plot of the sampled axes written at the end, when given
};

// Returns 0 when every expectation held, 1 when one failed (each failure is reported on `err`
// naming the step and the virtual time); a scenario that cannot run throws ScenarioError.
int run_scenario(const nlohmann::json& scenario, const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quvex_runner
