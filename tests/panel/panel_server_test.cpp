// The front panel's server: its address rules, start and stop, the page with nothing fetched from
// elsewhere, and many clients streaming at once while controls and the machine go on.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "../../sim/panel/panel_address.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

struct AddressCase {
    const char* text;
    bool ok;
    const char* host;
    int port;
};

TEST(PanelAddress, LoopbackUnlessAHostIsNamed) {
    const AddressCase cases[] = {
        {"8080", true, "127.0.0.1", 8080},          {":8080", true, "127.0.0.1", 8080},
        {"0.0.0.0:80", true, "0.0.0.0", 80},        {"localhost:0", true, "localhost", 0},
        {"[::1]:9000", true, "::1", 9000},          {"", false, "", 0},
        {":", false, "", 0},                        {"host:", false, "", 0},
        {"host:65536", false, "", 0},               {"host:-1", false, "", 0},
        {"host:80x", false, "", 0},                 {"ho st:80", false, "", 0},
        {"host:0000080", false, "", 0},
    };
    for (const AddressCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto a = qsim::panel::parse_listen_address(c.text);
        ASSERT_EQ(a.has_value(), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(a->host, c.host);
        EXPECT_EQ(a->port, c.port);
    }
}

class PanelServer : public ::testing::Test {
protected:
    void SetUp() override {
        install_cards({0, 1});
        ASSERT_EQ(quvex_sim_panel_start("127.0.0.1:0"), 0);
        port_ = quvex_sim_panel_port();
        ASSERT_GT(port_, 0);
    }
    void TearDown() override {
        quvex_sim_panel_stop();
        reset_installation();
    }
    httplib::Client client() const { return httplib::Client("127.0.0.1", port_); }

    int port_ = -1;
};

TEST_F(PanelServer, OnePanelAtATimeAndStopFreesIt) {
    EXPECT_EQ(quvex_sim_panel_start("127.0.0.1:0"), -1);
    EXPECT_EQ(quvex_sim_panel_start(nullptr), -1);
    quvex_sim_panel_stop();
    EXPECT_EQ(quvex_sim_panel_port(), -1);
    quvex_sim_panel_stop();
    EXPECT_EQ(quvex_sim_panel_start("not an address"), -1);
    EXPECT_EQ(quvex_sim_panel_start("127.0.0.1:0"), 0);
    const int again = quvex_sim_panel_port();
    ASSERT_GT(again, 0);
    // The port is taken: a second server on it cannot bind.
    httplib::Server other;
    EXPECT_FALSE(other.bind_to_port("127.0.0.1", again));
}

TEST_F(PanelServer, ThePageIsServedWholeFromTheBinary) {
    auto cli = client();
    const auto page = cli.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<canvas"), std::string::npos);
    EXPECT_EQ(page->body.find("src=\"http"), std::string::npos);
    EXPECT_EQ(page->body.find("href=\"http"), std::string::npos);
    const auto bad = cli.Post("/api/axis/input", "{nope", "application/json");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->status, 400);
    const auto ok = cli.Post("/api/axis/input", R"({"card":1,"axis":3,"input":"alarm","active":true})", "application/json");
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->status, 200);
    EXPECT_EQ(quvex_sim_axis_input(1, 3, QUVEX_SIM_INPUT_ALARM), 1);
    const auto bad_rate = cli.Get("/api/stream?rate=1000");
    ASSERT_TRUE(bad_rate);
    EXPECT_EQ(bad_rate->status, 400);
}

TEST_F(PanelServer, TenStreamingClientsDoNotStallTheMachineOrTheControls) {
    constexpr int kClients = 10;
    constexpr int kEventsEach = 5;
    std::atomic<int> finished{0};
    std::vector<std::thread> browsers;
    for (int k = 0; k < kClients; ++k) {
        browsers.emplace_back([this, &finished] {
            auto cli = client();
            int events = 0;
            std::string pending;
            cli.Get("/api/stream?rate=50", [&](const char* data, std::size_t size) {
                pending.append(data, size);
                for (std::size_t at; (at = pending.find("\n\n")) != std::string::npos;) {
                    if (pending.compare(0, 6, "data: ") == 0 && pending.find("\"cards\"") < at) ++events;
                    pending.erase(0, at + 2);
                }
                return events < kEventsEach;
            });
            if (events >= kEventsEach) ++finished;
        });
    }
    // The machine runs and controls are served while every stream is open.
    for (int i = 0; i < 20; ++i) {
        quvex_sim_advance(0.001);
        auto cli = client();
        const auto r = cli.Post("/api/axis/input", R"({"card":0,"axis":0,"input":"origin","active":true})", "application/json");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 200);
    }
    for (auto& b : browsers) b.join();
    EXPECT_EQ(finished.load(), kClients);
    EXPECT_NEAR(quvex_sim_now(), 0.02, 1e-9);
}

TEST_F(PanelServer, StopEndsOpenStreams) {
    std::atomic<bool> ended{false};
    std::thread browser([this, &ended] {
        auto cli = client();
        cli.Get("/api/stream", [](const char*, std::size_t) { return true; });
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    quvex_sim_panel_stop();
    browser.join();
    EXPECT_TRUE(ended.load());
}

}  // namespace
}  // namespace quvex::test
