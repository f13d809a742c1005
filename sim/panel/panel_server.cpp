// The front panel's HTTP server: cpp-httplib in a thread of its own, one snapshot per update
// shared by every streaming client, and the control endpoints of panel_routes. With no client
// attached the server only waits in accept: it never takes the machine lock.
#include "panel_server.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "quvex/sim.h"

#if QUVEX_PANEL_HTTP

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <charconv>
#include <memory>
#include <string>
#include <thread>

#include "panel_address.h"
#include "panel_routes.h"
#include "panel_snapshot.h"

namespace qsim::panel {

namespace {

using PanelClock = std::chrono::steady_clock;

constexpr std::size_t kPanelWorkers = 32;  // ten browsers streaming still leave workers for controls
constexpr std::size_t kPanelLargestBody = 64 * 1024;
constexpr int kPanelStreamTrace = 20;

// The snapshot streams send: built at most once per half period however many clients stream,
// so ten browsers take the machine lock no more often than one.
class SharedSnapshot {
public:
    std::string get(PanelClock::duration max_age) {
        std::lock_guard<std::mutex> lk(mu_);
        const auto now = PanelClock::now();
        if (text_.empty() || now - built_ >= max_age) {
            text_ = snapshot_json(kPanelStreamTrace);
            built_ = now;
        }
        return text_;
    }

private:
    std::mutex mu_;
    std::string text_;
    PanelClock::time_point built_{};
};

class PanelServer {
public:
    bool start(const ListenAddress& where) {
        server_.new_task_queue = [] { return new httplib::ThreadPool(kPanelWorkers); };
        server_.set_payload_max_length(kPanelLargestBody);
        server_.set_read_timeout(std::chrono::seconds(5));
        // A control's reply leaves at once: with Nagle's algorithm a small reply waited for the
        // client's delayed acknowledgement, tens of milliseconds.
        server_.set_tcp_nodelay(true);
        // Address reuse only: a restarted panel takes its port back from TIME_WAIT, but a second
        // live panel on a taken port fails to bind instead of sharing it (the library's default
        // shares ports).
        server_.set_socket_options([](int sock) {
            int yes = 1;
            setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const void*>(&yes), sizeof yes);
        });
        server_.Get("/api/stream", [this](const httplib::Request& req, httplib::Response& res) { stream(req, res); });
        const auto plain = [](const httplib::Request& req, httplib::Response& res) {
            const Reply r = handle_request(req.method, req.target, req.body);
            res.status = r.status;
            res.set_content(r.body, r.content_type.c_str());
        };
        server_.Get(".*", plain);
        server_.Post(".*", plain);
        server_.Put(".*", plain);
        server_.Delete(".*", plain);
        server_.Patch(".*", plain);
        if (where.port == 0) {
            port_ = server_.bind_to_any_port(where.host);
            if (port_ <= 0) return false;
        } else {
            if (!server_.bind_to_port(where.host, where.port)) return false;
            port_ = where.port;
        }
        thread_ = std::thread([this] {
            server_.listen_after_bind();
            listening_ended_ = true;
        });
        // A stop before the thread is in its accept loop would not reach it: wait until it is.
        while (!server_.is_running() && !listening_ended_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return true;
    }

    void stop() {
        {
            std::lock_guard<std::mutex> lk(stop_mu_);
            stopping_ = true;
        }
        stop_cv_.notify_all();
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }

    int port() const { return port_; }

    // A panel still running at exit (started from the environment, never stopped) ends with it.
    ~PanelServer() {
        if (thread_.joinable()) stop();
    }

private:
    // Server-sent events: one snapshot per event at the asked rate (?rate=, 1..50 a second).
    void stream(const httplib::Request& req, httplib::Response& res) {
        double rate = kDefaultStreamRate;
        const std::string_view asked = query_value(req.target, "rate");
        if (!asked.empty()) {
            int r = 0;
            const auto [end, ec] = std::from_chars(asked.data(), asked.data() + asked.size(), r);
            if (ec != std::errc() || end != asked.data() + asked.size() || r < 1 || r > kMaxStreamRate) {
                res.status = 400;
                res.set_content(R"({"error":"rate must be an integer 1..50"})", "application/json");
                return;
            }
            rate = r;
        }
        const auto period = std::chrono::duration_cast<PanelClock::duration>(std::chrono::duration<double>(1.0 / rate));
        res.set_header("Cache-Control", "no-cache");
        res.set_chunked_content_provider("text/event-stream", [this, period](std::size_t, httplib::DataSink& sink) {
            const std::string event = "data: " + shared_.get(period / 2) + "\n\n";
            if (!sink.write(event.data(), event.size())) return false;
            std::unique_lock<std::mutex> lk(stop_mu_);
            stop_cv_.wait_for(lk, period, [this] { return stopping_; });
            if (stopping_) {
                sink.done();
                return false;
            }
            return true;
        });
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = -1;
    std::atomic<bool> listening_ended_{false};
    SharedSnapshot shared_;
    std::mutex stop_mu_;
    std::condition_variable stop_cv_;
    bool stopping_ = false;
};

std::mutex panel_server_mu;
std::unique_ptr<PanelServer> panel_server;

int start_panel(const char* address) {
    if (address == nullptr) return -1;
    const auto where = parse_listen_address(address);
    if (!where) return -1;
    std::lock_guard<std::mutex> lk(panel_server_mu);
    if (panel_server) return -1;
    auto server = std::make_unique<PanelServer>();
    if (!server->start(*where)) return -1;
    panel_server = std::move(server);
    return 0;
}

void stop_panel() {
    std::unique_ptr<PanelServer> server;
    {
        std::lock_guard<std::mutex> lk(panel_server_mu);
        server = std::move(panel_server);
    }
    if (server) server->stop();
}

int panel_port() {
    std::lock_guard<std::mutex> lk(panel_server_mu);
    return panel_server ? panel_server->port() : -1;
}

}  // namespace

}  // namespace qsim::panel

#else  // a build without the HTTP library: the panel cannot start

namespace qsim::panel {
namespace {
int start_panel(const char*) { return -1; }
void stop_panel() {}
int panel_port() { return -1; }
}  // namespace
}  // namespace qsim::panel

#endif

namespace qsim::panel {

void start_from_environment() {
    const char* address = std::getenv("QUVEX_PANEL");
    if (address == nullptr || *address == '\0') return;
    // A panel the application started itself before the machine came up stays as it is.
    if (panel_port() >= 0) return;
    if (start_panel(address) != 0) {
        std::fprintf(stderr, "quvex: the panel cannot listen on '%s' (QUVEX_PANEL)\n", address);
    } else {
        std::fprintf(stderr, "quvex: panel listening on port %d (QUVEX_PANEL=%s)\n", panel_port(), address);
    }
}

}  // namespace qsim::panel

extern "C" {

QUVEX_API int QUVEX_CALL quvex_sim_panel_start(const char* address) { return qsim::panel::start_panel(address); }

QUVEX_API void QUVEX_CALL quvex_sim_panel_stop(void) { qsim::panel::stop_panel(); }

QUVEX_API int QUVEX_CALL quvex_sim_panel_port(void) { return qsim::panel::panel_port(); }

}  // extern "C"
