#include "line_support.h"

#include <cstdlib>
#include <sstream>

#include "quvex/sim.h"
#include "sim_fixture.h"

namespace quvex::test {

std::vector<std::string> register_sequence() {
    std::vector<std::string> out;
    for (const std::string& line : trace_lines_starting("d0.")) {
        std::istringstream words(line.substr(3));
        std::string axis, kind, code;
        words >> axis >> kind >> code;
        if (kind == "reg") out.push_back(axis + " " + code);
        else if (kind == "read" || kind == "cmd") out.push_back(axis + " " + kind + " " + code);
    }
    return out;
}

std::vector<std::uint32_t> written_values(const std::string& prefix) {
    std::vector<std::uint32_t> out;
    for (const std::string& line : trace_lines_starting(prefix)) {
        const std::size_t arrow = line.rfind(' ');
        out.push_back(static_cast<std::uint32_t>(std::strtoul(line.c_str() + arrow + 1, nullptr, 16)));
    }
    return out;
}

std::uint32_t chip_register(int axis, unsigned code) {
    std::uint32_t value = 0;
    quvex_sim_chip_register(0, axis, code, &value);
    return value;
}

Seq per_axis(std::initializer_list<const char*> axes, std::initializer_list<const char*> codes) {
    Seq out;
    for (const char* a : axes)
        for (const char* c : codes) out.push_back(std::string(a) + " " + c);
    return out;
}

Seq operator+(Seq a, const Seq& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace quvex::test
