#include "scenario_keys.h"

#include <algorithm>

#include "call_args.h"

namespace quvex_runner {

const KeyList kScenarioKeys = {"name",    "cards",   "stations", "origins", "indexes",       "modules",
                               "sensors", "sample",  "trace",    "timeline", "checks_nothing"};
const KeyList kStepKeys = {"name", "at", "advance", "call", "args", "expect", "input", "io_set",
                           "emergency", "drive"};

const std::vector<KeyedObject> kScenarioLists = {
    {"stations", {"device", "slave", "type", "ident"}},
    {"origins", {"device", "axis", "position", "width"}},
    {"indexes", {"device", "axis", "period", "offset"}},
    {"modules", {"device", "slave", "kind", "id"}},
    {"sensors", {"device", "axis", "signal", "from", "to"}},
    {"sample", {"device", "axis", "period"}},
};
const std::vector<KeyedObject> kStepObjects = {
    {"input", {"device", "axis", "signal", "active"}},
    {"io_set", {"device", "slave", "port", "value"}},
    {"emergency", {"device", "active"}},
    {"drive", {"device", "axis", "on", "time_constant", "in_position_band", "settling_time", "deviation_limit"}},
};
const std::vector<KeyedObject> kStateExpectations = {
    {"position", {"device", "axis", "value", "tolerance"}},
    {"command", {"device", "axis", "value", "tolerance"}},
    {"state", {"device", "axis", "value", "tolerance"}},
    {"stop_reason", {"device", "axis", "value", "tolerance"}},
    {"input", {"device", "axis", "signal", "active"}},
    {"output", {"device", "axis", "output", "on"}},
    {"io", {"device", "slave", "port", "value"}},
};

namespace {

std::size_t edit_distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string joined(const KeyList& keys) {
    std::string out;
    for (const std::string& k : keys) out += (out.empty() ? "" : ", ") + k;
    return out;
}

}  // namespace

std::string nearest_key(const std::string& word, const KeyList& known) {
    std::string best;
    std::size_t best_distance = 0;
    for (const std::string& k : known) {
        const std::size_t d = edit_distance(word, k);
        if (best.empty() || d < best_distance) {
            best = k;
            best_distance = d;
        }
    }
    return best;
}

void check_keys(const nlohmann::json& object, const KeyList& known, const std::string& where) {
    if (!object.is_object()) throw ScenarioError(where + ": must be an object, not " + object.dump());
    for (const auto& [key, value] : object.items()) {
        if (std::find(known.begin(), known.end(), key) != known.end()) continue;
        throw ScenarioError(where + ": unknown key \"" + key + "\"; did you mean \"" + nearest_key(key, known) +
                            "\"? (" + where + " takes " + joined(known) + ")");
    }
}

}  // namespace quvex_runner
