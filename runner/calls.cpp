#include "calls.h"

#include "quvex/quvex.h"
#include "scenario_keys.h"

namespace quvex_runner {

namespace {

const std::vector<ExportCall>& table() {
    static const std::vector<ExportCall> calls = {
#include "runner_calls.inc"
    };
    return calls;
}

}  // namespace

const ExportCall* find_export(const std::string& name) {
    for (const ExportCall& c : table()) {
        if (name == c.name) return &c;
    }
    return nullptr;
}

const ExportCall& export_named(const std::string& name) {
    if (const ExportCall* c = find_export(name)) return *c;
    KeyList names;
    for (const ExportCall& c : table()) names.emplace_back(c.name);
    throw ScenarioError("no export named '" + name + "'; did you mean '" + nearest_key(name, names) + "'?");
}

void check_input_count(const ExportCall& c, const nlohmann::json& inputs) {
    if (inputs.is_array() && inputs.size() == c.inputs) return;
    std::string names;
    for (const char* n : c.input_names) names += (names.empty() ? "" : ", ") + std::string(n);
    throw ScenarioError(std::string(c.name) + " takes " + std::to_string(c.inputs) + " arguments (" + names +
                        "), given " + inputs.dump());
}

CallResult call_export(const std::string& name, const nlohmann::json& inputs) {
    const ExportCall& c = export_named(name);
    check_input_count(c, inputs);
    CallArgs args(name, inputs);
    const long long r = c.call(args);
    return CallResult{r, args.outputs()};
}

}  // namespace quvex_runner
