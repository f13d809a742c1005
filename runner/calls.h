// Every card library export callable by name (the table is generated from the headers).
#pragma once

#include <string>
#include <vector>

#include "call_args.h"

namespace quvex_runner {

struct ExportCall {
    const char* name;
    std::size_t inputs;
    std::vector<const char*> input_names;
    std::vector<const char*> output_names;  // the out-pointers, reported under these names
    long long (*call)(CallArgs&);
};

// The export named `name`, or null.
const ExportCall* find_export(const std::string& name);

// The export named `name`; a ScenarioError naming the nearest export when there is none.
const ExportCall& export_named(const std::string& name);

// Throws a ScenarioError when `inputs` is not an array of the export's number of inputs.
void check_input_count(const ExportCall& c, const nlohmann::json& inputs);

struct CallResult {
    long long result;
    nlohmann::json outputs;
};

// Calls the export with the JSON inputs (an array in the C order, out-pointers left out).
CallResult call_export(const std::string& name, const nlohmann::json& inputs);

}  // namespace quvex_runner
