// The front panel's request handling under libFuzzer: the input is a method byte, a request
// target up to the first newline (path and query string) and a JSON body, handed to the same
// handler the server thread calls, on an installation with two cards and ring stations. Every
// reply must carry a known status, and every reply but the page must be JSON with a reason on
// refusals; the sanitizers check the rest.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "installation_reset.h"
#include "panel/panel_routes.h"
#include "quvex/sim.h"

namespace {

const char* const kPanelFuzzMethods[] = {"GET", "POST", "PUT", "DELETE", "PATCH", "HEAD", "", "post"};

[[noreturn]] void panel_fuzz_fail(const char* what, std::string_view target, int status) {
    std::fprintf(stderr, "panel fuzz: %s (target '%.*s', status %d)\n", what, static_cast<int>(target.size()),
                 target.data(), status);
    std::abort();
}

void panel_fuzz_installation() {
    quvex::test::reset_installation();
    quvex_sim_add_card(0);
    quvex_sim_add_card(3);
    quvex_sim_ring_add_io_slave(0, 2, 0x81, 0x100);
    quvex_sim_ring_add_m1_module(0, 5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    panel_fuzz_installation();
    const char* method = kPanelFuzzMethods[data[0] % std::size(kPanelFuzzMethods)];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t newline = rest.find('\n');
    const std::string_view target = rest.substr(0, newline);
    const std::string_view body = newline == std::string_view::npos ? std::string_view{} : rest.substr(newline + 1);

    const qsim::panel::Reply reply = qsim::panel::handle_request(method, target, body);
    switch (reply.status) {
        case 200: case 400: case 404: case 405: case 409: break;
        default: panel_fuzz_fail("unexpected status", target, reply.status);
    }
    if (reply.content_type == "application/json") {
        const auto j = nlohmann::json::parse(reply.body, nullptr, false);
        if (j.is_discarded() || !j.is_object()) panel_fuzz_fail("reply is not a JSON object", target, reply.status);
        if (reply.status != 200 && !j.contains("error")) panel_fuzz_fail("refusal without a reason", target, reply.status);
    } else if (reply.status != 200) {
        panel_fuzz_fail("refusal that is not JSON", target, reply.status);
    }
    // A clock control may have started real time: the next input starts from a manual clock.
    quvex_sim_clock_manual();
    return 0;
}
