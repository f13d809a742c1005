#include "validate.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "calls.h"
#include "scenario_keys.h"

namespace quvex_runner {

namespace {

using nlohmann::json;

const json& array_of(const json& parent, const std::string& key, const std::string& where) {
    const json& v = parent[key];
    if (!v.is_array()) throw ScenarioError(where + "." + key + ": must be an array, not " + v.dump());
    return v;
}

void check_lists(const json& s) {
    if (s.contains("cards")) {
        for (const json& d : array_of(s, "cards", "scenario")) {
            if (!d.is_number_integer()) throw ScenarioError("scenario.cards: lists device numbers, not " + d.dump());
        }
    }
    for (const KeyedObject& list : kScenarioLists) {
        if (!s.contains(list.key)) continue;
        const json& items = array_of(s, list.key, "scenario");
        for (std::size_t i = 0; i < items.size(); ++i) {
            check_keys(items[i], list.keys, list.key + "[" + std::to_string(i) + "]");
        }
    }
    for (const char* flag : {"trace", "checks_nothing"}) {
        if (s.contains(flag) && !s[flag].is_boolean()) {
            throw ScenarioError(std::string("scenario.") + flag + ": must be true or false, not " + s[flag].dump());
        }
    }
}

double time_of(const json& step, const char* key, const std::string& where) {
    const json& v = step[key];
    if (!v.is_number() || !std::isfinite(v.get<double>()) || v.get<double>() < 0) {
        throw ScenarioError(where + "." + key + ": must be a number of seconds, 0 or more, not " + v.dump());
    }
    return v.get<double>();
}

std::string seconds(double t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g s", t);
    return buf;
}

void check_call(const json& step, const std::string& where) {
    if (!step["call"].is_string()) throw ScenarioError(where + ".call: names an export, not " + step["call"].dump());
    const ExportCall* c = nullptr;
    try {
        c = &export_named(step["call"].get<std::string>());
        check_input_count(*c, step.value("args", json::array()));
    } catch (const ScenarioError& e) {
        throw ScenarioError(where + ": " + e.what());
    }
    if (!step.contains("expect")) return;
    KeyList known = {"result", "tolerance"};
    for (const char* out : c->output_names) known.emplace_back(out);
    check_keys(step["expect"], known, where + ".expect");
}

void check_state_expectations(const json& expect, const std::string& where) {
    KeyList kinds;
    for (const KeyedObject& k : kStateExpectations) kinds.push_back(k.key);
    check_keys(expect, kinds, where);
    for (const KeyedObject& k : kStateExpectations) {
        if (expect.contains(k.key)) check_keys(expect[k.key], k.keys, where + "." + k.key);
    }
}

void check_timeline(const json& s) {
    if (!s.contains("timeline")) return;
    const json& timeline = array_of(s, "timeline", "scenario");
    double now = 0;  // where the steps before this one left the clock (calls take no virtual time)
    for (std::size_t i = 0; i < timeline.size(); ++i) {
        const json& step = timeline[i];
        std::string where = "timeline[" + std::to_string(i) + "]";
        if (step.is_object() && step.contains("name") && step["name"].is_string()) {
            where += " \"" + step["name"].get<std::string>() + "\"";
        }
        check_keys(step, kStepKeys, where);
        if (step.contains("at")) {
            const double at = time_of(step, "at", where);
            if (at < now) {
                throw ScenarioError(where + ".at: " + seconds(at) + " is in the past: the steps before it reach " +
                                    seconds(now) + " (\"advance\" moves on from there)");
            }
            now = at;
        }
        if (step.contains("advance")) now += time_of(step, "advance", where);
        if (now > kLongestRun) throw ScenarioError(where + ": reaches " + seconds(now) + ", past 10^6 s");
        if (step.contains("call")) {
            check_call(step, where);
        } else if (step.contains("args")) {
            throw ScenarioError(where + ": \"args\" without a \"call\"");
        } else if (step.contains("expect")) {
            check_state_expectations(step["expect"], where + ".expect");
        }
        for (const KeyedObject& o : kStepObjects) {
            if (step.contains(o.key)) check_keys(step[o.key], o.keys, where + "." + o.key);
        }
    }
}

}  // namespace

void check_writable(const std::string& path, const char* option) {
    if (path.empty()) return;
    struct stat st {};
    const bool existed = ::stat(path.c_str(), &st) == 0;
    std::FILE* f = std::fopen(path.c_str(), "a");
    if (f == nullptr) {
        throw ScenarioError(std::string(option) + " " + path + ": cannot be written (" + std::strerror(errno) + ")");
    }
    std::fclose(f);
    if (!existed) std::remove(path.c_str());
}

void validate_scenario(const json& s, const RunOptions& options) {
    check_keys(s, kScenarioKeys, "scenario");
    check_lists(s);
    check_timeline(s);
    if (!options.svg_path.empty() && s.value("sample", json::array()).empty()) {
        throw ScenarioError("--svg draws the sampled axes, and the scenario samples none (add \"sample\")");
    }
    check_writable(options.csv_path, "--csv");
    check_writable(options.vcd_path, "--vcd");
    check_writable(options.svg_path, "--svg");
}

}  // namespace quvex_runner
