// The front panel's endpoints: the page, the snapshot, the switch table and the controls. Every
// control checks its whole body before it touches the machine, so a refused request changes
// nothing.
#include "panel_routes.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <mutex>
#include <optional>

#include "panel_clock.h"
#include "panel_inputs.h"
#include "panel_page.h"
#include "panel_snapshot.h"
#include "quvex/sim.h"

namespace qsim::panel {

namespace {

using Json = nlohmann::json;

constexpr int kPanelAxisCount = 4;
constexpr int kPanelSlaveCount = 64;
constexpr int kPanelDefaultTrace = 20;
constexpr int kPanelMostDetents = 1'000'000;
constexpr double kPanelFastestWheel = 100'000.0;  // detents per second

Reply panel_json_reply(int status, Json body) { return Reply{status, "application/json", body.dump()}; }

Reply panel_refusal(int status, std::string_view reason) {
    return panel_json_reply(status, Json{{"error", std::string(reason)}});
}

Reply panel_done() { return panel_json_reply(200, Json{{"ok", true}}); }

// A field check that failed, with the reason for the reply.
struct PanelFieldError {
    std::string reason;
};

class PanelBody {
public:
    explicit PanelBody(const Json& j) : j_(j) {}

    bool has(const char* key) const { return j_.contains(key); }

    std::optional<long long> integer(const char* key, long long lo, long long hi, PanelFieldError& err) const {
        auto it = j_.find(key);
        if (it == j_.end() || !it->is_number_integer()) {
            err.reason = std::string(key) + " must be an integer";
            return std::nullopt;
        }
        // Unsigned values above the signed range compare as out of range, never wrap.
        if (it->is_number_unsigned() && it->get<unsigned long long>() > static_cast<unsigned long long>(hi)) {
            err.reason = std::string(key) + " is out of range";
            return std::nullopt;
        }
        const long long v = it->get<long long>();
        if (v < lo || v > hi) {
            err.reason = std::string(key) + " is out of range";
            return std::nullopt;
        }
        return v;
    }

    std::optional<double> number(const char* key, PanelFieldError& err) const {
        auto it = j_.find(key);
        if (it == j_.end() || !it->is_number() || !std::isfinite(it->get<double>())) {
            err.reason = std::string(key) + " must be a finite number";
            return std::nullopt;
        }
        return it->get<double>();
    }

    std::optional<bool> boolean(const char* key, PanelFieldError& err) const {
        auto it = j_.find(key);
        if (it == j_.end() || !it->is_boolean()) {
            err.reason = std::string(key) + " must be true or false";
            return std::nullopt;
        }
        return it->get<bool>();
    }

    std::optional<std::string> text(const char* key, PanelFieldError& err) const {
        auto it = j_.find(key);
        if (it == j_.end() || !it->is_string()) {
            err.reason = std::string(key) + " must be a string";
            return std::nullopt;
        }
        return it->get<std::string>();
    }

    std::optional<int> direction(PanelFieldError& err) const {
        auto v = integer("direction", -1, 1, err);
        if (!v) return std::nullopt;
        if (*v == 0) {
            err.reason = "direction must be 1 or -1";
            return std::nullopt;
        }
        return static_cast<int>(*v);
    }

private:
    const Json& j_;
};

// The card and axis a control names: 400 for a malformed number, 404 for one not installed.
struct PanelAxisRef {
    int device = 0;
    int axis = 0;
};

std::optional<Reply> check_card(const PanelBody& b, int& device) {
    PanelFieldError err;
    auto d = b.integer("card", INT32_MIN, INT32_MAX, err);
    if (!d) return panel_refusal(400, err.reason);
    device = static_cast<int>(*d);
    if (!card_present(device)) return panel_refusal(404, "no card " + std::to_string(device));
    return std::nullopt;
}

std::optional<Reply> check_axis(const PanelBody& b, PanelAxisRef& ref) {
    if (auto r = check_card(b, ref.device)) return r;
    PanelFieldError err;
    auto a = b.integer("axis", INT32_MIN, INT32_MAX, err);
    if (!a) return panel_refusal(400, err.reason);
    if (*a < 0 || *a >= kPanelAxisCount) return panel_refusal(404, "no axis " + std::to_string(*a));
    ref.axis = static_cast<int>(*a);
    return std::nullopt;
}

std::optional<Reply> check_station(const PanelBody& b, int& device, int& slave, bool must_be_plugged) {
    if (auto r = check_card(b, device)) return r;
    PanelFieldError err;
    auto s = b.integer("slave", INT32_MIN, INT32_MAX, err);
    if (!s) return panel_refusal(400, err.reason);
    if (*s < 0 || *s >= kPanelSlaveCount) return panel_refusal(404, "no slave " + std::to_string(*s));
    slave = static_cast<int>(*s);
    if (must_be_plugged && station_kind(device, slave) == nullptr) {
        return panel_refusal(404, "no station at slave " + std::to_string(slave));
    }
    return std::nullopt;
}

Json panel_controls_json() {
    Json inputs = Json::array();
    for (const InputControl& row : input_controls()) {
        inputs.push_back({{"name", row.name},
                          {"label", row.label},
                          {"scope", row.scope == InputScope::axis ? "axis" : "card"},
                          {"available", input_available(row)}});
    }
    return Json{{"inputs", inputs}};
}

Reply post_axis_input(const PanelBody& b) {
    PanelAxisRef ref;
    if (auto r = check_axis(b, ref)) return *r;
    PanelFieldError err;
    auto name = b.text("input", err);
    auto active = name ? b.boolean("active", err) : std::nullopt;
    if (!active) return panel_refusal(400, err.reason);
    const InputControl* row = find_input_control(*name);
    if (row == nullptr || row->scope != InputScope::axis) return panel_refusal(400, "unknown axis input " + *name);
    // The latch input goes through its own call: its active edge captures the counters.
    const int rc = row->signal == QUVEX_SIM_INPUT_LATCH
                       ? quvex_sim_set_latch_input(ref.device, ref.axis, *active ? 1 : 0)
                       : quvex_sim_set_axis_input(ref.device, ref.axis, row->signal, *active ? 1 : 0);
    return rc == 0 ? panel_done() : panel_refusal(404, "the card is gone");
}

Reply post_card_input(const PanelBody& b) {
    int device = 0;
    if (auto r = check_card(b, device)) return *r;
    PanelFieldError err;
    auto name = b.text("input", err);
    auto active = name ? b.boolean("active", err) : std::nullopt;
    if (!active) return panel_refusal(400, err.reason);
    const InputControl* row = find_input_control(*name);
    if (row == nullptr || row->scope != InputScope::card) return panel_refusal(400, "unknown card input " + *name);
    if (!input_available(*row)) return panel_refusal(404, "the virtual card has no " + *name + " input");
    return row->set_card(device, *active ? 1 : 0) == 0 ? panel_done() : panel_refusal(404, "the card is gone");
}

Reply post_wheel(const PanelBody& b) {
    int device = 0;
    if (auto r = check_card(b, device)) return *r;
    PanelFieldError err;
    auto detents = b.integer("detents", -kPanelMostDetents, kPanelMostDetents, err);
    auto rate = detents ? b.number("rate", err) : std::nullopt;
    if (!rate) return panel_refusal(400, err.reason);
    if (*rate <= 0.0 || *rate > kPanelFastestWheel) return panel_refusal(400, "rate must be above 0 and at most 100000");
    if (*detents == 0) return panel_done();
    return quvex_sim_turn_wheel(device, static_cast<int>(*detents), *rate) == 0 ? panel_done()
                                                                                 : panel_refusal(404, "the card is gone");
}

Reply post_jog(const PanelBody& b, bool step) {
    PanelAxisRef ref;
    if (auto r = check_axis(b, ref)) return *r;
    PanelFieldError err;
    auto dir = b.direction(err);
    std::optional<bool> pressed = true;
    if (dir && !step) pressed = b.boolean("pressed", err);
    if (!dir || !pressed) return panel_refusal(400, err.reason);
    const int rc = step ? quvex_sim_step_press(ref.device, ref.axis, *dir)
                        : quvex_sim_jog_switch(ref.device, ref.axis, *dir, *pressed ? 1 : 0);
    if (rc < 0) return panel_refusal(404, "the card is gone");
    return panel_json_reply(200, Json{{"ok", true}, {"reacted", rc == 1}});
}

// A cyclic byte written whole ("value"), or one of its bits turned over ("toggle": 0..7) on the
// byte as the station holds it now. The page toggles: two quick clicks then add up, where a byte
// computed from the page's last snapshot (which may not show the first click yet) would undo the
// first. Toggles run one at a time, so two requests served at once cannot lose one either.
Reply post_station_io(const PanelBody& b) {
    int device = 0, slave = 0;
    if (auto r = check_station(b, device, slave, true)) return *r;
    PanelFieldError err;
    auto port = b.integer("port", 0, 3, err);
    if (!port) return panel_refusal(400, err.reason);
    const bool toggle = b.has("toggle");
    auto arg = toggle ? b.integer("toggle", 0, 7, err) : b.integer("value", 0, 255, err);
    if (!arg) return panel_refusal(400, err.reason);
    static std::mutex one_write_at_a_time;
    std::lock_guard<std::mutex> hold(one_write_at_a_time);
    long long value = *arg;
    if (toggle) {
        const int now = quvex_sim_ring_io_get(device, slave, static_cast<int>(*port));
        if (now < 0) return panel_refusal(404, "the station is gone");
        value = now ^ (1LL << *arg);
    }
    return quvex_sim_ring_io_set(device, slave, static_cast<int>(*port), static_cast<std::uint8_t>(value)) == 0
               ? panel_done()
               : panel_refusal(404, "the station is gone");
}

Reply post_station_plug(const PanelBody& b) {
    int device = 0, slave = 0;
    if (auto r = check_station(b, device, slave, false)) return *r;
    PanelFieldError err;
    auto kind = b.text("kind", err);
    if (!kind) return panel_refusal(400, err.reason);
    int rc = -1;
    if (*kind == "io") {
        auto type = b.integer("type", 0, 255, err);
        auto ident = type ? b.integer("ident", 0, UINT32_MAX, err) : std::nullopt;
        if (!ident) return panel_refusal(400, err.reason);
        rc = quvex_sim_ring_add_io_slave(device, slave, static_cast<std::uint8_t>(*type), static_cast<std::uint32_t>(*ident));
    } else if (*kind == "m1") {
        rc = quvex_sim_ring_add_m1_module(device, slave);
    } else if (*kind == "m4") {
        auto id = b.integer("id_number", 0, 65535, err);
        if (!id) return panel_refusal(400, err.reason);
        rc = quvex_sim_ring_add_m4_module(device, slave, static_cast<std::uint16_t>(*id));
    } else {
        return panel_refusal(400, "kind must be io, m1 or m4");
    }
    return rc == 0 ? panel_done() : panel_refusal(400, "the station cannot be plugged there");
}

Reply post_station_pull(const PanelBody& b) {
    int device = 0, slave = 0;
    if (auto r = check_station(b, device, slave, true)) return *r;
    return quvex_sim_ring_remove_slave(device, slave) == 0 ? panel_done() : panel_refusal(404, "the station is gone");
}

Reply post_clock(const PanelBody& b) {
    PanelFieldError err;
    auto action = b.text("action", err);
    if (!action) return panel_refusal(400, err.reason);
    const char* why = "";
    int rc = 0;
    if (*action == "pause") {
        rc = pause_clock(&why);
    } else if (*action == "resume") {
        rc = resume_clock(&why);
    } else if (*action == "step") {
        auto s = b.number("seconds", err);
        if (!s) return panel_refusal(400, err.reason);
        rc = step_clock(*s, &why);
    } else if (*action == "scale") {
        auto s = b.number("scale", err);
        if (!s) return panel_refusal(400, err.reason);
        rc = scale_clock(*s, &why);
    } else {
        return panel_refusal(400, "action must be pause, resume, step or scale");
    }
    return rc == 0 ? panel_done() : panel_refusal(rc, why);
}

using PostHandler = Reply (*)(const PanelBody&);

struct PostRoute {
    std::string_view path;
    PostHandler handle;
};

const PostRoute kPanelPostRoutes[] = {
    {"/api/axis/input", post_axis_input},
    {"/api/card/input", post_card_input},
    {"/api/wheel", post_wheel},
    {"/api/jog", [](const PanelBody& b) { return post_jog(b, false); }},
    {"/api/step", [](const PanelBody& b) { return post_jog(b, true); }},
    {"/api/station/io", post_station_io},
    {"/api/station/plug", post_station_plug},
    {"/api/station/pull", post_station_pull},
    {"/api/clock", post_clock},
};

std::string_view panel_path_of(std::string_view target) { return target.substr(0, target.find('?')); }

Reply panel_get_route(std::string_view target) {
    const std::string_view path = panel_path_of(target);
    if (path == "/" || path == "/index.html") return Reply{200, "text/html; charset=utf-8", std::string(page_html())};
    if (path == "/api/controls") return panel_json_reply(200, panel_controls_json());
    if (path == "/api/state") {
        int tail = kPanelDefaultTrace;
        const std::string_view t = query_value(target, "trace");
        if (!t.empty()) {
            const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), tail);
            if (ec != std::errc() || end != t.data() + t.size() || tail < 0 || tail > kMaxTraceTail) {
                return panel_refusal(400, "trace must be an integer 0..200");
            }
        }
        return Reply{200, "application/json", snapshot_json(tail)};
    }
    return panel_refusal(404, "no such page");
}

}  // namespace

std::string_view query_value(std::string_view target, std::string_view key) {
    const std::size_t q = target.find('?');
    if (q == std::string_view::npos) return {};
    std::string_view rest = target.substr(q + 1);
    while (!rest.empty()) {
        const std::size_t amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        const std::size_t eq = pair.find('=');
        if (pair.substr(0, eq) == key && eq != std::string_view::npos) return pair.substr(eq + 1);
        if (amp == std::string_view::npos) break;
        rest = rest.substr(amp + 1);
    }
    return {};
}

Reply handle_request(std::string_view method, std::string_view target, std::string_view body) {
    const std::string_view path = panel_path_of(target);
    const bool control = std::any_of(std::begin(kPanelPostRoutes), std::end(kPanelPostRoutes),
                                     [path](const PostRoute& r) { return r.path == path; });
    if (method == "GET" && !control) return panel_get_route(target);
    for (const PostRoute& route : kPanelPostRoutes) {
        if (route.path != path) continue;
        if (method != "POST") return panel_refusal(405, "use POST");
        const Json j = Json::parse(body, nullptr, false);
        if (j.is_discarded()) return panel_refusal(400, "the body is not JSON");
        if (!j.is_object()) return panel_refusal(400, "the body must be a JSON object");
        return route.handle(PanelBody(j));
    }
    const bool page = path == "/" || path == "/index.html" || path == "/api/controls" || path == "/api/state" ||
                      path == "/api/stream";
    return page ? panel_refusal(405, "use GET") : panel_refusal(404, "no such path");
}

}  // namespace qsim::panel
