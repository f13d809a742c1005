// The keys a scenario may use, level by level, and the check that refuses any other: a misspelt
// key would otherwise leave its part of the scenario out silently ("expext" checks nothing).
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace quvex_runner {

using KeyList = std::vector<std::string>;

// Top level and timeline steps. A new kind of step input adds its key here and its object's
// keys to kStepObjects.
extern const KeyList kScenarioKeys;
extern const KeyList kStepKeys;

struct KeyedObject {
    std::string key;  // the key holding the object (or each object of the array)
    KeyList keys;     // the keys that object may use
};
// Objects listed at the top level ("stations": [{...}]) and objects of a step ("input": {...}).
extern const std::vector<KeyedObject> kScenarioLists;
extern const std::vector<KeyedObject> kStepObjects;
// What an "expect" without a call may check, each an object.
extern const std::vector<KeyedObject> kStateExpectations;

// Throws ScenarioError when `object` has a key not in `known`, naming its path (`where`) and
// the nearest known key.
void check_keys(const nlohmann::json& object, const KeyList& known, const std::string& where);

// The entry of `known` closest to `word` (edit distance), empty when `known` is empty.
std::string nearest_key(const std::string& word, const KeyList& known);

}  // namespace quvex_runner
