#include "calls.h"

#include "quvex/quvex.h"

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

CallResult call_export(const std::string& name, const nlohmann::json& inputs) {
    const ExportCall* c = find_export(name);
    if (c == nullptr) throw ScenarioError("no export named '" + name + "'");
    if (!inputs.is_array() || inputs.size() != c->inputs) {
        std::string names;
        for (const char* n : c->input_names) names += (names.empty() ? "" : ", ") + std::string(n);
        throw ScenarioError(name + " takes " + std::to_string(c->inputs) + " arguments (" + names + "), given " +
                            inputs.dump());
    }
    CallArgs args(name, inputs);
    const long long r = c->call(args);
    return CallResult{r, args.outputs()};
}

}  // namespace quvex_runner
