// quvex-sim: runs a machine scenario (JSON) on the virtual installation and exits non-zero when
// an expectation fails (1) or the scenario cannot run (2).
#include <fstream>
#include <iostream>

#include <CLI/CLI.hpp>

#include "call_args.h"
#include "quvex/sim.h"
#include "scenario.h"

int main(int argc, char** argv) {
    CLI::App app{"Runs a machine scenario on the virtual installation"};
    std::string path;
    quvex_runner::RunOptions options;
    bool progress = false, no_progress = false;
    app.add_option("scenario", path, "scenario file (JSON)")->required()->check(CLI::ExistingFile);
    app.add_option("--realtime", options.realtime_scale, "let the clock follow the wall clock times SCALE")
        ->check(CLI::PositiveNumber);
    app.add_option("--csv", options.csv_path, "write the trace as a CSV table");
    app.add_option("--vcd", options.vcd_path, "write the trace as a VCD waveform");
    app.add_option("--svg", options.svg_path, "draw the sampled axes (path, position and speed) as an SVG plot");
    std::string panel;
    app.add_option("--panel", panel, "show the run on the front panel at ADDRESS (host:port, loopback by default)");
    app.add_flag("--progress", progress, "show progress (default: on runs of 10 s of virtual time or more)");
    app.add_flag("--no-progress", no_progress, "never show progress");
    CLI11_PARSE(app, argc, argv);
    options.progress = no_progress ? 0 : progress ? 1 : -1;
    if (!panel.empty()) {
        if (quvex_sim_panel_start(panel.c_str()) != 0) {
            std::cerr << "--panel: cannot listen on " << panel << "\n";
            return 2;
        }
        std::cerr << "panel listening on port " << quvex_sim_panel_port() << "\n";
    }
    try {
        std::ifstream in(path);
        const nlohmann::json scenario = nlohmann::json::parse(in);
        const int rc = quvex_runner::run_scenario(scenario, options, std::cout, std::cerr);
        quvex_sim_panel_stop();
        return rc;
    } catch (const nlohmann::json::exception& e) {
        std::cerr << path << ": " << e.what() << "\n";
    } catch (const quvex_runner::ScenarioError& e) {
        std::cerr << path << ": " << e.what() << "\n";
    }
    return 2;
}
