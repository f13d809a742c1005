// quvex-sim: runs a machine scenario (JSON) on the virtual installation. Exit codes: exit_codes.h.
#include <cmath>
#include <fstream>
#include <iostream>

#include <CLI/CLI.hpp>

#include "call_args.h"
#include "exit_codes.h"
#include "quvex/sim.h"
#include "scenario.h"

namespace {

// A clock scale above 0; CLI11's own range check would print the largest double as the limit.
std::string positive_scale(std::string& text) {
    try {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        if (used == text.size() && std::isfinite(v) && v > 0) return {};
    } catch (const std::exception&) {
    }
    return "SCALE must be a number above 0 (1 keeps the wall clock's pace), not " + text;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quvex_runner;
    CLI::App app{"Runs a machine scenario (JSON) on the virtual installation and checks its expectations."};
    app.set_version_flag("--version", std::string("quvex-sim ") + QUVEX_RUNNER_VERSION);
    app.footer(kExitCodesHelp);
    std::string path;
    RunOptions options;
    app.add_option("scenario", path, "scenario file (JSON)")->required();
    app.add_option("--realtime", options.realtime_scale, "let the clock follow the wall clock times SCALE (> 0)")
        ->type_name("SCALE")
        ->check(CLI::Validator(positive_scale, ""));
    app.add_option("--csv", options.csv_path, "write the trace as a CSV table")->type_name("FILE");
    app.add_option("--vcd", options.vcd_path, "write the trace as a VCD waveform")->type_name("FILE");
    app.add_option("--svg", options.svg_path, "draw the sampled axes (path, position and speed) as an SVG plot")
        ->type_name("FILE");
    std::string panel;
    app.add_option("--panel", panel, "show the run on the front panel at ADDRESS (host:port, loopback by default)")
        ->type_name("ADDRESS");
    bool progress = false, no_progress = false;
    app.add_flag("--progress", progress, "show progress (default: on runs of 10 s of virtual time or more)")
        ->excludes(app.add_flag("--no-progress", no_progress, "never show progress"));
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);  // prints help, the version or the mistake
        return rc == 0 ? kExitHeld : kExitCannotRun;
    }
    options.progress = no_progress ? 0 : progress ? 1 : -1;
    options.source = path;

    std::ifstream in(path);
    if (!in) {
        std::cerr << path << ": cannot be read\n";
        report_not_run(std::cout);
        return kExitCannotRun;
    }
    nlohmann::json scenario;
    try {
        scenario = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& e) {
        std::cerr << path << ": " << e.what() << "\n";
        report_not_run(std::cout);
        return kExitCannotRun;
    }
    if (!panel.empty()) {
        if (quvex_sim_panel_start(panel.c_str()) != 0) {
            std::cerr << "--panel: cannot listen on " << panel << "\n";
            report_not_run(std::cout);
            return kExitCannotRun;
        }
        std::cerr << "panel listening on port " << quvex_sim_panel_port() << "\n";
    }
    const int rc = run_scenario(scenario, options, std::cout, std::cerr);
    quvex_sim_panel_stop();
    return rc;
}
