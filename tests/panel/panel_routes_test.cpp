// The front panel's endpoints without the transport: every malformed request is refused with a
// reason and changes nothing, controls naming what is not installed get 404, and accepted
// controls reach the virtual machine as its own control calls would.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

#include "../../sim/panel/panel_routes.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

using qsim::panel::handle_request;
using Json = nlohmann::json;

class PanelRoutes : public ::testing::Test {
protected:
    void SetUp() override {
        install_cards({0});
        ASSERT_EQ(quvex_sim_ring_add_io_slave(0, 3, 0x80, 0x100), 0);
    }
    void TearDown() override { reset_installation(); }

    static Json state() {
        const auto r = handle_request("GET", "/api/state?trace=0", "");
        EXPECT_EQ(r.status, 200);
        Json j = Json::parse(r.body);
        j.erase("clock");
        return j;
    }
};

struct RefusedCase {
    const char* method;
    const char* target;
    const char* body;
    int status;
};

TEST_F(PanelRoutes, MalformedAndMisdirectedRequestsAreRefusedAndChangeNothing) {
    const RefusedCase cases[] = {
        {"POST", "/api/axis/input", "", 400},
        {"POST", "/api/axis/input", "{", 400},
        {"POST", "/api/axis/input", "[1,2]", 400},
        {"POST", "/api/axis/input", R"({"card":0,"axis":0,"input":"el_plus"})", 400},
        {"POST", "/api/axis/input", R"({"card":0,"axis":0,"input":"el_plus","active":1})", 400},
        {"POST", "/api/axis/input", R"({"card":0,"axis":0,"input":"warp","active":true})", 400},
        {"POST", "/api/axis/input", R"({"card":"0","axis":0,"input":"el_plus","active":true})", 400},
        {"POST", "/api/axis/input", R"({"card":1.5,"axis":0,"input":"el_plus","active":true})", 400},
        {"POST", "/api/axis/input", R"({"card":18446744073709551615,"axis":0,"input":"el_plus","active":true})", 400},
        {"POST", "/api/axis/input", R"({"card":0,"axis":0,"input":"emergency","active":true})", 400},
        {"POST", "/api/axis/input", R"({"card":5,"axis":0,"input":"el_plus","active":true})", 404},
        {"POST", "/api/axis/input", R"({"card":-1,"axis":0,"input":"el_plus","active":true})", 404},
        {"POST", "/api/axis/input", R"({"card":0,"axis":4,"input":"el_plus","active":true})", 404},
        {"POST", "/api/card/input", R"({"card":3,"input":"emergency","active":true})", 404},
        {"POST", "/api/card/input", R"({"card":0,"input":"el_plus","active":true})", 400},
        {"POST", "/api/wheel", R"({"card":0,"detents":10,"rate":0})", 400},
        {"POST", "/api/wheel", R"({"card":0,"detents":10,"rate":-3})", 400},
        {"POST", "/api/wheel", R"({"card":0,"detents":10000000,"rate":100})", 400},
        {"POST", "/api/wheel", R"({"card":2,"detents":10,"rate":100})", 404},
        {"POST", "/api/jog", R"({"card":0,"axis":0,"direction":0,"pressed":true})", 400},
        {"POST", "/api/jog", R"({"card":0,"axis":0,"direction":1})", 400},
        {"POST", "/api/step", R"({"card":0,"axis":9,"direction":1})", 404},
        {"POST", "/api/station/io", R"({"card":0,"slave":3,"port":4,"value":1})", 400},
        {"POST", "/api/station/io", R"({"card":0,"slave":3,"port":0,"value":256})", 400},
        {"POST", "/api/station/io", R"({"card":0,"slave":3,"port":0,"toggle":8})", 400},
        {"POST", "/api/station/io", R"({"card":0,"slave":3,"port":0,"toggle":"1"})", 400},
        {"POST", "/api/station/io", R"({"card":0,"slave":4,"port":0,"value":1})", 404},
        {"POST", "/api/station/io", R"({"card":0,"slave":64,"port":0,"value":1})", 404},
        {"POST", "/api/station/pull", R"({"card":0,"slave":5})", 404},
        {"POST", "/api/station/plug", R"({"card":0,"slave":5,"kind":"toaster"})", 400},
        {"POST", "/api/station/plug", R"({"card":0,"slave":5,"kind":"io","type":300,"ident":1})", 400},
        {"POST", "/api/station/plug", R"({"card":3,"slave":5,"kind":"m1"})", 404},
        {"POST", "/api/clock", R"({"action":"rewind"})", 400},
        {"POST", "/api/clock", R"({"action":"scale","scale":0})", 400},
        {"POST", "/api/clock", R"({"action":"scale","scale":1e9})", 400},
        {"POST", "/api/clock", R"({"action":"step","seconds":0.1})", 409},
        {"POST", "/api/clock", R"({"action":"resume"})", 409},
        {"POST", "/api/nothing", "{}", 404},
        {"GET", "/api/axis/input", "", 405},
        {"DELETE", "/api/state", "", 405},
        {"PUT", "/nothing", "{}", 404},
        {"GET", "/nothing", "", 404},
        {"GET", "/api/state?trace=9999", "", 400},
        {"GET", "/api/state?trace=abc", "", 400},
    };
    const Json before = state();
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(std::string(c.method) + " " + c.target + " " + c.body);
        const auto r = handle_request(c.method, c.target, c.body);
        EXPECT_EQ(r.status, c.status);
        const Json reply = Json::parse(r.body);
        ASSERT_TRUE(reply.contains("error"));
        EXPECT_FALSE(reply["error"].get<std::string>().empty());
    }
    EXPECT_EQ(state(), before);
    EXPECT_DOUBLE_EQ(quvex_sim_now(), 0.0);
}

TEST_F(PanelRoutes, EveryAxisInputOfTheTableReachesTheChip) {
    const Json controls = Json::parse(handle_request("GET", "/api/controls", "").body);
    int axis_inputs = 0;
    for (const Json& row : controls["inputs"]) {
        if (row["scope"] != "axis") continue;
        ++axis_inputs;
        const std::string name = row["name"];
        for (const bool active : {true, false}) {
            const Json body{{"card", 0}, {"axis", 2}, {"input", name}, {"active", active}};
            ASSERT_EQ(handle_request("POST", "/api/axis/input", body.dump()).status, 200) << name;
            const Json axis = Json::parse(handle_request("GET", "/api/state", "").body)["cards"][0]["axes"][2];
            EXPECT_EQ(axis["inputs"][name], active) << name;
        }
    }
    EXPECT_EQ(axis_inputs, QUVEX_SIM_INPUT_COUNT);
    EXPECT_EQ(quvex_sim_axis_input(0, 2, QUVEX_SIM_INPUT_EL_PLUS), 0);
    ASSERT_EQ(handle_request("POST", "/api/axis/input", R"({"card":0,"axis":2,"input":"el_plus","active":true})").status, 200);
    EXPECT_EQ(quvex_sim_axis_input(0, 2, QUVEX_SIM_INPUT_EL_PLUS), 1);
}

TEST_F(PanelRoutes, TheEmergencyInputIsACardSwitch) {
    const Json controls = Json::parse(handle_request("GET", "/api/controls", "").body);
    bool listed = false;
    for (const Json& row : controls["inputs"]) {
        if (row["name"] == "emergency") {
            listed = true;
            EXPECT_EQ(row["scope"], "card");
            EXPECT_TRUE(row["available"]);
        }
    }
    EXPECT_TRUE(listed);
    EXPECT_EQ(state()["cards"][0]["inputs"]["emergency"], false);
    ASSERT_EQ(handle_request("POST", "/api/card/input", R"({"card":0,"input":"emergency","active":true})").status, 200);
    EXPECT_EQ(quvex_sim_emergency(0), 1);
    EXPECT_EQ(state()["cards"][0]["inputs"]["emergency"], true);
    ASSERT_EQ(handle_request("POST", "/api/card/input", R"({"card":0,"input":"emergency","active":false})").status, 200);
    EXPECT_EQ(quvex_sim_emergency(0), 0);
}

TEST_F(PanelRoutes, StationControlsPlugSetAndPull) {
    ASSERT_EQ(handle_request("POST", "/api/station/io", R"({"card":0,"slave":3,"port":1,"value":165})").status, 200);
    EXPECT_EQ(quvex_sim_ring_io_get(0, 3, 1), 165);
    EXPECT_EQ(state()["cards"][0]["ring"]["stations"][0]["io"][1], 165);
    // Toggles turn over one bit of the byte as it is now, so quick ones add up.
    for (const char* bit : {"0", "3", "0"}) {
        const std::string body = std::string(R"({"card":0,"slave":3,"port":2,"toggle":)") + bit + "}";
        ASSERT_EQ(handle_request("POST", "/api/station/io", body).status, 200) << bit;
    }
    EXPECT_EQ(quvex_sim_ring_io_get(0, 3, 2), 0x08);

    ASSERT_EQ(handle_request("POST", "/api/station/plug", R"({"card":0,"slave":7,"kind":"m1"})").status, 200);
    const Json stations = state()["cards"][0]["ring"]["stations"];
    ASSERT_EQ(stations.size(), 2u);
    EXPECT_EQ(stations[1]["kind"], "m1");
    EXPECT_EQ(stations[1]["axes"].size(), 1u);

    ASSERT_EQ(handle_request("POST", "/api/station/pull", R"({"card":0,"slave":3})").status, 200);
    EXPECT_EQ(state()["cards"][0]["ring"]["stations"].size(), 1u);
    EXPECT_EQ(handle_request("POST", "/api/station/io", R"({"card":0,"slave":3,"port":1,"value":1})").status, 404);
}

TEST_F(PanelRoutes, TheClockPausesStepsAndResumesAtItsScale) {
    quvex_sim_clock_realtime(4.0);
    ASSERT_EQ(handle_request("POST", "/api/clock", R"({"action":"pause"})").status, 200);
    const double paused_at = quvex_sim_now();
    ASSERT_EQ(handle_request("POST", "/api/clock", R"({"action":"step","seconds":0.25})").status, 200);
    EXPECT_NEAR(quvex_sim_now(), paused_at + 0.25, 1e-9);
    Json clock = Json::parse(handle_request("GET", "/api/state", "").body)["clock"];
    EXPECT_TRUE(clock["paused"]);
    EXPECT_FALSE(clock["realtime"]);
    ASSERT_EQ(handle_request("POST", "/api/clock", R"({"action":"resume"})").status, 200);
    clock = Json::parse(handle_request("GET", "/api/state", "").body)["clock"];
    EXPECT_FALSE(clock["paused"]);
    EXPECT_TRUE(clock["realtime"]);
    EXPECT_DOUBLE_EQ(clock["scale"], 4.0);
    quvex_sim_clock_manual();
}

TEST_F(PanelRoutes, TheWheelTurnsAtTheAskedRate) {
    ASSERT_EQ(handle_request("POST", "/api/wheel", R"({"card":0,"detents":-50,"rate":100})").status, 200);
    EXPECT_NEAR(quvex_sim_wheel_idle_at(0), 0.5, 1e-9);
}

TEST(PanelQuery, ValuesAreFoundByKeyOnly) {
    using qsim::panel::query_value;
    EXPECT_EQ(query_value("/api/state?trace=5", "trace"), "5");
    EXPECT_EQ(query_value("/api/state?x=1&trace=7&y", "trace"), "7");
    EXPECT_EQ(query_value("/api/state?tracer=1", "trace"), "");
    EXPECT_EQ(query_value("/api/state?trace", "trace"), "");
    EXPECT_EQ(query_value("/api/state", "trace"), "");
}

}  // namespace
}  // namespace quvex::test
