// Arguments of one export call taken from a scenario's JSON: inputs converted to the C types
// with range checks, input arrays kept alive for the call, out-pointers pointing into storage
// that is read back as named outputs.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

namespace quvex_runner {

// A scenario that cannot run as written (unknown call, wrong arguments, bad JSON).
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class CallArgs {
public:
    CallArgs(std::string function, const nlohmann::json& inputs) : function_(std::move(function)), inputs_(inputs) {}

    template <class T>
    T integer(std::size_t k) const {
        const nlohmann::json& v = input(k);
        if (!v.is_number_integer()) fail(k, "an integer");
        const long long x = v.get<long long>();
        if (!fits<T>(x)) fail(k, "an integer in the argument's range");
        return static_cast<T>(x);
    }

    // A scenario cannot name a function: callback arguments are null.
    template <class T>
    T callback() const {
        return nullptr;
    }

    double real(std::size_t k) const {
        const nlohmann::json& v = input(k);
        if (!v.is_number()) fail(k, "a number");
        return v.get<double>();
    }

    // An input array, padded with zeros to at least kArrayFloor entries so that an export
    // reading more than the scenario gave reads zeros, never past the array.
    template <class T>
    const T* array(std::size_t k) {
        const nlohmann::json& v = input(k);
        if (!v.is_array()) fail(k, "an array");
        auto values = std::make_shared<std::vector<T>>(std::max<std::size_t>(v.size(), kArrayFloor), T{});
        for (std::size_t i = 0; i < v.size(); ++i) {
            if constexpr (std::is_integral_v<T>) {
                if (!v[i].is_number_integer() || !fits<T>(v[i].get<long long>())) fail(k, "an array of integers in range");
            } else if (!v[i].is_number()) {
                fail(k, "an array of numbers");
            }
            (*values)[i] = v[i].get<T>();
        }
        keep_.push_back(values);
        return values->data();
    }

    // Storage for an out-pointer of `count` values, reported as output `name`.
    template <class T>
    T* out(const char* name, std::size_t count) {
        auto values = std::make_shared<std::vector<T>>(count, T{});
        keep_.push_back(values);
        readers_.emplace_back(name, [values] {
            nlohmann::json j = nlohmann::json::array();
            for (const T& x : *values) {
                if constexpr (std::is_pointer_v<T>) {
                    j.push_back(reinterpret_cast<std::uintptr_t>(x));
                } else {
                    j.push_back(x);
                }
            }
            return j.size() == 1 ? j[0] : j;
        });
        return values->data();
    }

    // The outputs after the call: {name: value or [values]}.
    nlohmann::json outputs() const {
        nlohmann::json j = nlohmann::json::object();
        for (const auto& [name, read] : readers_) j[name] = read();
        return j;
    }

private:
    static constexpr std::size_t kArrayFloor = 64;

    template <class T>
    static bool fits(long long x) {
        if (x < 0) return std::is_signed_v<T> && x >= static_cast<long long>(std::numeric_limits<T>::min());
        return static_cast<unsigned long long>(x) <= static_cast<unsigned long long>(std::numeric_limits<T>::max());
    }

    const nlohmann::json& input(std::size_t k) const { return inputs_.at(k); }
    [[noreturn]] void fail(std::size_t k, const char* what) const {
        throw ScenarioError(function_ + ": argument " + std::to_string(k + 1) + " must be " + what + ", not " +
                            inputs_.at(k).dump());
    }

    std::string function_;
    const nlohmann::json& inputs_;
    std::vector<std::shared_ptr<void>> keep_;
    std::vector<std::pair<std::string, std::function<nlohmann::json()>>> readers_;
};

}  // namespace quvex_runner
