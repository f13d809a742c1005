#include "scenario.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <thread>

#include "call_args.h"
#include "calls.h"
#include "exit_codes.h"
#include "validate.h"
#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex_runner {

using nlohmann::json;

namespace {

const std::map<std::string, int> kSignals = {
    {"el_plus", QUVEX_SIM_INPUT_EL_PLUS},         {"el_minus", QUVEX_SIM_INPUT_EL_MINUS},
    {"origin", QUVEX_SIM_INPUT_ORIGIN},           {"index", QUVEX_SIM_INPUT_INDEX},
    {"alarm", QUVEX_SIM_INPUT_ALARM},             {"in_position", QUVEX_SIM_INPUT_IN_POSITION},
    {"slow_down", QUVEX_SIM_INPUT_SLOW_DOWN},     {"latch", QUVEX_SIM_INPUT_LATCH},
    {"general0", QUVEX_SIM_INPUT_GENERAL0},       {"general1", QUVEX_SIM_INPUT_GENERAL0 + 1},
    {"general2", QUVEX_SIM_INPUT_GENERAL0 + 2},   {"general3", QUVEX_SIM_INPUT_GENERAL0 + 3},
    {"general4", QUVEX_SIM_INPUT_GENERAL0 + 4},
};

// Sensors are checked this often while the clock moves.
constexpr double kSensorStep = 0.001;
constexpr double kLongRun = 10.0;

int field_int(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key) || !j[key].is_number_integer()) {
        throw ScenarioError(where + ": \"" + key + "\" must be an integer");
    }
    return j[key].get<int>();
}

double field_number(const json& j, const char* key, const std::string& where, double fallback) {
    if (!j.contains(key)) return fallback;
    if (!j[key].is_number()) throw ScenarioError(where + ": \"" + key + "\" must be a number");
    return j[key].get<double>();
}

int signal_of(const json& j, const std::string& where) {
    if (!j.contains("signal") || !j["signal"].is_string() || kSignals.count(j["signal"].get<std::string>()) == 0) {
        throw ScenarioError(where + ": \"signal\" must be one of el_plus, el_minus, origin, index, alarm, in_position, "
                                    "slow_down, latch, general0..general4");
    }
    return kSignals.at(j["signal"].get<std::string>());
}

void check_sim(int rc, const std::string& where) {
    if (rc < 0) throw ScenarioError(where + ": refused by the virtual installation");
}

// An input that is active while an axis's position counter lies within [from, to].
struct Sensor {
    int device, axis, signal;
    double from, to;
    int state = -1;
};

class Run {
public:
    Run(const RunOptions& options, std::ostream& out, std::ostream& err) : opt_(options), out_(out), err_(err) {}

    int execute(const json& scenario) {
        if (!scenario.is_object()) throw ScenarioError("a scenario is a JSON object");
        validate_scenario(scenario, opt_);
        started_ = true;
        quvex_sim_reset();
        setup(scenario);
        const json& timeline = scenario.value("timeline", json::array());
        end_ = timeline_end(timeline);
        show_progress_ = opt_.progress == 1 || (opt_.progress == -1 && end_ >= kLongRun);
        if (opt_.realtime_scale > 0) quvex_sim_clock_realtime(opt_.realtime_scale);
        for (std::size_t i = 0; i < timeline.size(); ++i) step(timeline[i], i + 1);
        quvex_close();
        kring_close();
        quvex_sim_clock_manual();
        if (!opt_.csv_path.empty()) written(quvex_sim_trace_write_csv(opt_.csv_path.c_str()), "--csv", opt_.csv_path);
        if (!opt_.vcd_path.empty()) written(quvex_sim_trace_write_vcd(opt_.vcd_path.c_str()), "--vcd", opt_.vcd_path);
        if (!opt_.svg_path.empty()) plot(scenario);
        if (checked_ == 0 && !scenario.value("checks_nothing", false)) {
            err_ << "FAILED: the scenario checked no expectation (a scenario meant to check nothing says "
                    "\"checks_nothing\": true)\n";
            return kExitFailed;
        }
        return failed_ == 0 ? kExitHeld : kExitFailed;
    }

    // The summary line, whichever way the run ended.
    void summary() const {
        if (!started_) {
            report_not_run(out_);
            return;
        }
        out_ << checked_ << " expectations checked, " << failed_ << " failed, at " << quvex_sim_now() << " s\n";
    }

private:
    void setup(const json& s) {
        for (const json& d : s.value("cards", json::array({0}))) {
            if (!d.is_number_integer()) throw ScenarioError("\"cards\" lists device numbers");
            check_sim(quvex_sim_add_card(d.get<int>()), "cards");
        }
        for (const json& st : s.value("stations", json::array())) {
            const std::string where = "station " + st.dump();
            check_sim(quvex_sim_ring_add_io_slave(field_int(st, "device", where), field_int(st, "slave", where),
                                                  static_cast<uint8_t>(st.value("type", 0x80)),
                                                  st.value("ident", 0u)),
                      where);
        }
        for (const json& o : s.value("origins", json::array())) {
            const std::string where = "origin " + o.dump();
            check_sim(quvex_sim_set_origin(field_int(o, "device", where), field_int(o, "axis", where),
                                           field_int(o, "position", where), o.value("width", 1)),
                      where);
        }
        for (const json& x : s.value("indexes", json::array())) {
            const std::string where = "index " + x.dump();
            check_sim(quvex_sim_set_index(field_int(x, "device", where), field_int(x, "axis", where),
                                          field_int(x, "period", where), x.value("offset", 0)),
                      where);
        }
        for (const json& md : s.value("modules", json::array())) {
            const std::string where = "module " + md.dump();
            const std::string kind = md.value("kind", std::string("one-axis"));
            const int device = field_int(md, "device", where), slave = field_int(md, "slave", where);
            if (kind == "one-axis") {
                check_sim(quvex_sim_ring_add_m1_module(device, slave), where);
            } else if (kind == "four-axis") {
                check_sim(quvex_sim_ring_add_m4_module(device, slave, static_cast<uint16_t>(md.value("id", 0))), where);
            } else {
                throw ScenarioError(where + ": \"kind\" is \"one-axis\" or \"four-axis\"");
            }
        }
        for (const json& se : s.value("sensors", json::array())) {
            const std::string where = "sensor " + se.dump();
            sensors_.push_back(Sensor{field_int(se, "device", where), field_int(se, "axis", where), signal_of(se, where),
                                      field_number(se, "from", where, 0), field_number(se, "to", where, 0)});
        }
        for (const json& sm : s.value("sample", json::array())) {
            const std::string where = "sample " + sm.dump();
            const int device = field_int(sm, "device", where), axis = field_int(sm, "axis", where);
            check_sim(quvex_sim_sample_motion(device, axis, field_number(sm, "period", where, 0.001)), where);
            sampled_.push_back(device * 4 + axis);
        }
        quvex_sim_trace_enable(s.value("trace", !opt_.csv_path.empty() || !opt_.vcd_path.empty()) ? 1 : 0);
        update_sensors();
    }

    // The sampled axes drawn (the path of the first two with them, when there are two or more).
    void plot(const json& scenario) {
        if (sampled_.empty()) throw ScenarioError("--svg needs sampled axes (\"sample\")");
        const std::string title = scenario.value("name", std::string("scenario"));
        const int count = static_cast<int>(std::min<std::size_t>(sampled_.size(), 8));
        written(quvex_sim_plot_axes_svg(opt_.svg_path.c_str(), title.c_str(), sampled_.data(), count,
                                        count >= 2 ? QUVEX_SIM_PLOT_PATH : 0u),
                "--svg", opt_.svg_path);
    }

    // The paths were found writable before the run; what fails now is the writing itself.
    static void written(int rc, const char* option, const std::string& path) {
        if (rc != 0) throw ScenarioError(std::string(option) + " " + path + ": writing the file failed");
    }

    static long long to_ns(double seconds) { return std::llround(seconds * 1e9); }

    static double timeline_end(const json& timeline) {
        double t = 0;
        for (const json& s : timeline) {
            if (s.contains("at") && s["at"].is_number()) t = std::max(t, s["at"].get<double>());
            if (s.contains("advance") && s["advance"].is_number()) t += s["advance"].get<double>();
        }
        return t;
    }

    void step(const json& s, std::size_t number) {
        const std::string name = s.contains("name") && s["name"].is_string()
                                     ? "step " + std::to_string(number) + " \"" + s["name"].get<std::string>() + "\""
                                     : "step " + std::to_string(number);
        if (!s.is_object()) throw ScenarioError(name + ": a step is an object");
        // Times were checked before the run: never in the past, never past the longest run.
        if (s.contains("at")) {
            at_ = field_number(s, "at", name, 0);
            advance_to(at_);
        }
        if (s.contains("advance")) {
            at_ += field_number(s, "advance", name, 0);
            advance_to(at_);
        }
        if (s.contains("call")) {
            if (!s["call"].is_string()) throw ScenarioError(name + ": \"call\" names an export");
            const CallResult r = call_export(s["call"].get<std::string>(), s.value("args", json::array()));
            if (s.contains("expect")) expect_call(name, s["call"].get<std::string>(), r, s["expect"]);
        } else if (s.contains("expect")) {
            expect_state(name, s["expect"]);
        }
        if (s.contains("input")) {
            const json& in = s["input"];
            check_sim(quvex_sim_set_axis_input(field_int(in, "device", name), field_int(in, "axis", name),
                                               signal_of(in, name), in.value("active", true) ? 1 : 0),
                      name);
        }
        if (s.contains("emergency")) {
            const json& em = s["emergency"];
            check_sim(quvex_sim_set_emergency(field_int(em, "device", name), em.value("active", true) ? 1 : 0), name);
        }
        if (s.contains("drive")) set_drive(s["drive"], name);
        if (s.contains("io_set")) {
            const json& io = s["io_set"];
            check_sim(quvex_sim_ring_io_set(field_int(io, "device", name), field_int(io, "slave", name),
                                            field_int(io, "port", name),
                                            static_cast<uint8_t>(field_int(io, "value", name))),
                      name);
        }
    }

    // {"device", "axis", "on" (default true), "time_constant", "in_position_band", "settling_time",
    //  "deviation_limit"}: the axis's servo drive switched on with those parameters, or off.
    static void set_drive(const json& d, const std::string& name) {
        const int device = field_int(d, "device", name), axis = field_int(d, "axis", name);
        if (!d.value("on", true)) {
            check_sim(quvex_sim_set_drive(device, axis, nullptr), name);
            return;
        }
        const quvex_sim_drive drive{field_number(d, "time_constant", name, 0.01), field_number(d, "in_position_band", name, 10),
                                    field_number(d, "settling_time", name, 0), field_number(d, "deviation_limit", name, 0)};
        check_sim(quvex_sim_set_drive(device, axis, &drive), name);
    }

    // Moves the clock to `target`, checking the sensors every millisecond of virtual time.
    void advance_to(double target) {
        // The clock counts whole nanoseconds: compare and step in them, or a target between two
        // of them (1.4 s is 1.3999999999999999) would leave a step too small to move the clock.
        const long long goal = to_ns(target);
        for (long long now = to_ns(quvex_sim_now()); now < goal; now = to_ns(quvex_sim_now())) {
            const long long step = sensors_.empty() ? goal - now : std::min(goal - now, to_ns(kSensorStep));
            if (opt_.realtime_scale > 0) {
                std::this_thread::sleep_for(std::chrono::nanoseconds(std::min(step, to_ns(kSensorStep))) /
                                            opt_.realtime_scale);
            } else {
                quvex_sim_advance((static_cast<double>(step) + 0.25) / 1e9);  // a quarter over, truncated to step
            }
            update_sensors();
            report_progress();
        }
    }

    void update_sensors() {
        for (Sensor& s : sensors_) {
            quvex_sim_motion_info m;
            if (quvex_sim_motion_info_get(s.device, s.axis, &m) != 0) continue;
            const int active = m.position_counter >= s.from && m.position_counter <= s.to ? 1 : 0;
            if (active != s.state) {
                check_sim(quvex_sim_set_axis_input(s.device, s.axis, s.signal, active), "sensor");
                s.state = active;
            }
        }
    }

    void report_progress() {
        if (!show_progress_ || end_ <= 0) return;
        const int percent = static_cast<int>(100.0 * quvex_sim_now() / end_);
        if (percent / 10 > last_decile_) {
            last_decile_ = percent / 10;
            err_ << "progress " << std::min(percent, 100) << "% (" << quvex_sim_now() << " s of " << end_ << " s)\n";
        }
    }

    void fail(const std::string& name, const std::string& detail) {
        ++failed_;
        char t[32];
        std::snprintf(t, sizeof t, "%.6f", quvex_sim_now());
        err_ << "FAILED " << name << " at " << t << " s: " << detail << "\n";
    }

    // {"result": n, "<output>": value, "tolerance": x}
    void expect_call(const std::string& name, const std::string& fn, const CallResult& r, const json& e) {
        const double tol = field_number(e, "tolerance", name, 0);
        for (const auto& [key, want] : e.items()) {
            if (key == "tolerance") continue;
            ++checked_;
            const json got = key == "result" ? json(r.result) : r.outputs.value(key, json());
            if (got.is_null()) throw ScenarioError(name + ": " + fn + " has no output \"" + key + "\"");
            if (!matches(got, want, tol)) {
                fail(name, fn + " " + key + " is " + got.dump() + ", expected " + want.dump());
            }
        }
    }

    static bool matches(const json& got, const json& want, double tol) {
        if (got.is_array() || want.is_array()) {
            if (!got.is_array() || !want.is_array() || got.size() != want.size()) return false;
            for (std::size_t i = 0; i < got.size(); ++i) {
                if (!matches(got[i], want[i], tol)) return false;
            }
            return true;
        }
        if (got.is_number() && want.is_number()) return std::fabs(got.get<double>() - want.get<double>()) <= tol;
        return got == want;
    }

    // {"position"|"command": {device, axis, value, tolerance}, "state": {device, axis, value},
    //  "stop_reason": {device, axis, value} (QUVEX_SIM_STOP_* bits of the last motion),
    //  "input": {device, axis, signal, active}, "output": {device, axis, output, on},
    //  "io": {device, slave, port, value}}
    void expect_state(const std::string& name, const json& e) {
        for (const auto& [key, x] : e.items()) {
            ++checked_;
            const std::string where = name + " " + key;
            if (key == "position" || key == "command" || key == "state" || key == "stop_reason") {
                quvex_sim_motion_info m;
                const int device = field_int(x, "device", where), axis = field_int(x, "axis", where);
                check_sim(quvex_sim_motion_info_get(device, axis, &m), where);
                const double got = key == "position" ? m.position_counter
                                   : key == "command" ? m.command_counter
                                   : key == "state"   ? static_cast<double>(m.state)
                                                      : static_cast<double>(m.stop_reason);
                const double want = field_number(x, "value", where, 0);
                if (std::fabs(got - want) > field_number(x, "tolerance", where, 0)) {
                    fail(name, key + " of d" + std::to_string(device) + " axis " + std::to_string(axis) + " is " +
                                   json(got).dump() + ", expected " + json(want).dump());
                }
            } else if (key == "input") {
                const int got = quvex_sim_axis_input(field_int(x, "device", where), field_int(x, "axis", where),
                                                     signal_of(x, where));
                check_sim(got, where);
                if ((got != 0) != x.value("active", true)) {
                    fail(name, "input " + x["signal"].get<std::string>() + " is " + (got ? "active" : "inactive"));
                }
            } else if (key == "output") {
                uint32_t outputs = 0;
                check_sim(quvex_sim_chip_outputs(field_int(x, "device", where), field_int(x, "axis", where), &outputs),
                          where);
                const int bit = field_int(x, "output", where);
                const bool on = ((outputs >> bit) & 1u) != 0;
                if (on != x.value("on", true)) fail(name, "output " + std::to_string(bit) + " is " + (on ? "on" : "off"));
            } else if (key == "io") {
                const int got = quvex_sim_ring_io_get(field_int(x, "device", where), field_int(x, "slave", where),
                                                      field_int(x, "port", where));
                check_sim(got, where);
                if (got != field_int(x, "value", where)) {
                    fail(name, "cyclic byte is " + std::to_string(got) + ", expected " + x["value"].dump());
                }
            } else {
                throw ScenarioError(name + ": unknown expectation \"" + key + "\"");
            }
        }
    }

    const RunOptions& opt_;
    std::ostream& out_;
    std::ostream& err_;
    std::vector<Sensor> sensors_;
    std::vector<int> sampled_;  // device * 4 + axis of every sampled axis
    double end_ = 0;
    double at_ = 0;  // the scenario's time: where its steps put the clock
    bool started_ = false;
    bool show_progress_ = false;
    int last_decile_ = 0;
    int checked_ = 0;
    int failed_ = 0;
};

}  // namespace

int run_scenario(const json& scenario, const RunOptions& options, std::ostream& out, std::ostream& err) {
    Run run(options, out, err);
    int rc = kExitCannotRun;
    try {
        rc = run.execute(scenario);
    } catch (const ScenarioError& e) {
        err << options.source << ": " << e.what() << "\n";
    } catch (const nlohmann::json::exception& e) {
        err << options.source << ": " << e.what() << "\n";
    }
    quvex_sim_clock_manual();
    run.summary();
    return rc;
}

void report_not_run(std::ostream& out) { out << "0 expectations checked, 0 failed, not run\n"; }

}  // namespace quvex_runner
