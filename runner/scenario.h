// Runs a machine scenario on the virtual installation: the cards, sensors and ring stations it
// declares, then its timeline of export calls, input changes, clock advances and expectations.
#pragma once

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace quvex_runner {

struct RunOptions {
    std::string source = "scenario";  // the scenario's file, named in error messages
    double realtime_scale = 0;  // > 0: the clock follows the wall clock times this scale
    int progress = -1;          // 1 always, 0 never, -1 on runs of 10 s of virtual time or more
    std::string csv_path;       // trace table written at the end, when given
    std::string vcd_path;       // trace waveform written at the end, when given
    std::string svg_path;       // plot of the sampled axes written at the end, when given
};

// Checks the scenario and the options, then runs it. Returns an exit code (exit_codes.h): each
// failed expectation and the reason a scenario cannot run go to `err`, naming the step; the
// summary line ("N expectations checked, M failed, at T s") goes to `out` on every path.
int run_scenario(const nlohmann::json& scenario, const RunOptions& options, std::ostream& out, std::ostream& err);

// The summary line of a scenario that could not be read.
void report_not_run(std::ostream& out);

}  // namespace quvex_runner
