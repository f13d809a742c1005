// The card's cells of the fault matrix: discovery and close under driver faults, the compare
// thread with a deaf or missing event, interrupts with failing thread creation and refused
// requests, the card configuration file and ring attach without a card.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "events/error_log.h"
#include "fault_matrix.h"
#include "common/platform.h"

namespace quvex::test::faults {
namespace {

constexpr const char* kE4 = "PCIQUVEXW0E4";
constexpr const char* kStopLog = "fault_matrix_stop.log";
constexpr uint32_t kInterruptStatusRequest = 0x223408;
constexpr uint32_t kErrorStatusRequest = 0x22340C;

std::atomic<int> g_callback_axis{-1};
void QUVEX_CALL record_axis(int32_t axis_no) { g_callback_axis.store(axis_no); }

int device_open() {
    quvex_sim_card_info info{};
    return quvex_sim_card_info_get(0, &info) == 0 ? info.open : -1;
}

void signal_axis_event(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW0E%d", k);
    const plat::Handle ev = plat::event_open(name);
    plat::event_set(ev);
    plat::handle_close(ev);
    quvex_sim_advance(0.001);  // the callback thread runs until it waits again
}

// 1 when the driver took a request of this code since decoded event `from`, 0 when not.
int request_taken_since(std::size_t from, uint32_t code) {
    for (std::size_t i = from; i < quvex_sim_trace_count(); ++i) {
        quvex_sim_event e{};
        quvex_sim_trace_get(i, &e);
        if (e.kind == QUVEX_SIM_EV_REQUEST && e.code == code && e.value == 1) return 1;
    }
    return 0;
}

const char* config_file() {
    static const std::string path = [] {
        const std::string name = "fault_matrix_card.cfg";
        std::ofstream(name, std::ios::binary) << std::string(5568, '\0');  // 48 records of zeros
        return name;
    }();
    return path.c_str();
}

Outcome initial_call() {
    int16_t count = kFill16;
    const int status = quvex_initial(&count);
    quvex_sim_advance(0.001);  // a compare thread without its event has left by now
    return {status, {count, device_open(), quvex_sim_live_threads()}};
}

Outcome close_call() {
    const double start = quvex_sim_now();
    const int terminated = quvex_sim_terminated_threads();
    const int status = quvex_close();
    return {status, {elapsed_ms(start), quvex_sim_terminated_threads() - terminated, quvex_sim_live_threads()}};
}

// Close, and how many of its port writes a card decoded.
Outcome close_counting_card_writes() {
    quvex_sim_trace_enable(1);
    const std::size_t from = quvex_sim_access_count();
    Outcome closed = close_call();
    int decoded = 0;
    for (std::size_t i = from; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access a{};
        quvex_sim_access_get(i, &a);
        const bool write = a.kind == QUVEX_SIM_ACCESS_OUT8 || a.kind == QUVEX_SIM_ACCESS_OUT16;
        if (write && a.device >= 0) ++decoded;
    }
    closed.outs.push_back(decoded);
    return closed;
}

Outcome auto_compare_off_then_close() {
    const int status = quvex_set_auto_compare(0, 0);
    Outcome closed = close_call();
    return {status, closed.outs};
}

Outcome initial_then_auto_compare_off_and_close() {
    int16_t count = kFill16;
    const int found = quvex_initial(&count);
    quvex_sim_advance(0.001);
    const int live = quvex_sim_live_threads();
    const int status = quvex_set_auto_compare(0, 0);
    Outcome closed = close_call();
    return {status, {found, live, closed.outs[0], closed.outs[1]}};
}

// Interrupt status of axis 1: the two reply words, and whether the driver took the request.
Outcome int_status_call() {
    uint32_t word1 = kFill32, word2 = kFill32;
    const std::size_t from = trace_from_now();
    const int status = quvex_get_int_status(1, &word1, &word2);
    return {status, {word1, word2, request_taken_since(from, kInterruptStatusRequest)}};
}

// An axis event of axis 1 with the stop-reason log open: the callback's AxisNo, the lines the
// log got, and whether the driver took the error status request.
Outcome callback_log_call() {
    g_callback_axis.store(-1);
    std::remove(kStopLog);
    quvex_error_log(kStopLog);
    const std::size_t from = trace_from_now();
    signal_axis_event(1);
    events::close_error_log();  // flushes the file
    std::ifstream in(kStopLog, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto lines = std::count(text.begin(), text.end(), '\n');
    return {0, {g_callback_axis.load(), lines, request_taken_since(from, kErrorStatusRequest)}};
}

// A link whose thread could not be created leaves no thread for close to wait for.
Outcome link_then_close() {
    const int status = quvex_link_interrupt(0, record_axis);
    return {status, close_call().outs};
}

Outcome link_call() {
    g_callback_axis.store(-1);
    const int status = quvex_link_interrupt(0, record_axis);
    signal_axis_event(1);
    return {status, {quvex_sim_live_threads(), g_callback_axis.load()}};
}

Outcome initial_then_open_ring() {
    int16_t count = kFill16;
    const int status = quvex_initial(&count);
    return {status, {count, quvex_open_kring(0)}};
}

Outcome initial_then_config_file() {
    int16_t count = kFill16;
    const int found = quvex_initial(&count);
    return {quvex_config_from_file(config_file()), {found}};
}

// ---- clearing ----

void drop_driver_faults() { quvex_sim_set_driver_faults(0, 0); }
void close_cards() { quvex_close(); }
void drop_driver_faults_and_close() {
    drop_driver_faults();
    quvex_close();
}
void hear_e4_and_open_again() {
    quvex_sim_event_deaf(kE4, 0);
    int16_t count = 0;
    quvex_initial(&count);
}

}  // namespace

std::vector<Cell> card_cells() {
    return {
        // ---- card discovery ----
        {"device_cannot_open_initial", Stage::installed, [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_OPEN); },
         initial_call, {QUVEX_ERR_NO_CARD, {kFill16, 0, 0}}, kNoPortWrite, 0, drop_driver_faults, {0, {1, 1, 1}}},
        {"first_query_fails_initial", Stage::installed, [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_QUERY1); },
         initial_call, {QUVEX_ERR_NO_CARD, {kFill16, 0, 0}}, kNoPortWrite, 0, drop_driver_faults, {0, {1, 1, 1}}},
        {"second_query_fails_initial", Stage::installed, [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_QUERY2); },
         initial_call, {QUVEX_ERR_NO_CARD, {kFill16, 0, 0}}, kNoPortWrite, 0, drop_driver_faults, {0, {1, 1, 1}}},
        {"card_removed_initial", Stage::installed, [] { quvex_sim_remove_card(0); }, initial_call,
         {QUVEX_ERR_NO_CARD, {kFill16, -1, 0}}, kNoPortWrite, 0, [] { quvex_sim_add_card(0); }, {0, {1, 1, 1}}},
        // The card is found; its compare thread leaves at once instead of waiting on nothing.
        {"no_compare_event_initial", Stage::installed,
         [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_NO_COMPARE_EVENT); }, initial_call, {0, {1, 1, 0}}, 0, 0,
         drop_driver_faults_and_close, {0, {1, 1, 1}}},
        // The card stays opened and programmed; count is not written.
        {"thread_creation_fails_initial", Stage::installed, [] { quvex_sim_fail_thread_creations(1); }, initial_call,
         {QUVEX_ERR_CARD_THREAD, {kFill16, 1, 0}}, 0, 0, close_cards, {0, {1, 1, 1}}},

        // ---- close and the compare thread ----
        // A compare thread that never hears its wake-up is waited for 1.1 s, then terminated.
        {"deaf_compare_event_close", Stage::opened, [] { quvex_sim_event_deaf(kE4, 1); }, close_call, {0, {1100, 1, 0}},
         0, 0, hear_e4_and_open_again, {0, {0, 0, 0}}},
        // Auto compare off suspends the thread; close resumes it, and it still never hears E4.
        {"deaf_compare_event_auto_compare", Stage::opened, [] { quvex_sim_event_deaf(kE4, 1); },
         auto_compare_off_then_close, {0, {1100, 1, 0}}, 0, 0, hear_e4_and_open_again, {0, {0, 0, 0}}},
        // The thread left long before: suspending and resuming it costs close nothing.
        {"no_compare_event_auto_compare", Stage::installed,
         [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_NO_COMPARE_EVENT); }, initial_then_auto_compare_off_and_close,
         {0, {0, 0, 0, 0}}, 0, 0, drop_driver_faults, {0, {0, 1, 0, 0}}},

        // A card gone from under the library: the driver refuses the request, the buffer keeps
        // what was sent (word 1 the axis), and the export reports 0 as it does for any answer.
        {"card_removed_int_status", Stage::opened, [] { quvex_sim_remove_card(0); }, int_status_call,
         {0, {1, 0, 0}}, kNoPortWrite, 0, [] { quvex_sim_add_card(0); }, {0, {0, 0, 1}}},
        // Shut-down writes go to ports no card decodes; the threads still leave.
        {"card_removed_close", Stage::opened, [] { quvex_sim_remove_card(0); }, close_counting_card_writes,
         {0, {0, 0, 0, 0}}, 0, 0,
         [] {
             quvex_sim_add_card(0);
             int16_t count = 0;
             quvex_initial(&count);
         },
         {0, {0, 0, 0, 3}}},

        // Discovery stopped before the thread existed: there is nothing to suspend or wait for.
        {"thread_creation_fails_auto_compare", Stage::installed, [] { quvex_sim_fail_thread_creations(1); },
         initial_then_auto_compare_off_and_close, {0, {QUVEX_ERR_CARD_THREAD, 0, 0, 0}}, 0, 0, close_cards,
         {0, {0, 1, 0, 0}}},

        // ---- interrupts and callbacks ----
        // The callback still runs; a refused error status request carries no stop reasons, so the
        // log gets no line (its buffer would still hold the axis number sent).
        {"card_removed_callback_log", Stage::opened,
         [] {
             quvex_int_enable(0, nullptr);
             quvex_link_interrupt(0, record_axis);
             quvex_sim_remove_card(0);
         },
         callback_log_call, {0, {1, 0, 0}}, kNoPortWrite, 0, [] { quvex_sim_add_card(0); }, {0, {1, 0, 1}}},
        {"thread_creation_fails_link_interrupt", Stage::opened,
         [] {
             quvex_int_enable(0, nullptr);
             quvex_sim_fail_thread_creations(1);
         },
         link_call, {QUVEX_ERR_CALLBACK_THREAD, {1, -1}}, kNoPortWrite, 0, no_fault, {0, {2, 1}}},

        // Once linked, the thread waits for an axis event without time-out: close ends it after
        // its grace.
        {"thread_creation_fails_link_then_close", Stage::opened,
         [] {
             quvex_int_enable(0, nullptr);
             quvex_sim_fail_thread_creations(1);
         },
         link_then_close, {QUVEX_ERR_CALLBACK_THREAD, {0, 0, 0}}, 0, 0,
         [] {
             int16_t count = 0;
             quvex_initial(&count);
             quvex_int_enable(0, nullptr);
         },
         {0, {1100, 1, 0}}},

        // ---- ring attach ----
        {"first_query_fails_open_kring", Stage::installed,
         [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_QUERY1); }, initial_then_open_ring,
         {QUVEX_ERR_NO_CARD, {kFill16, QUVEX_ERR_CARD_NUMBER}}, kNoPortWrite | kNoWindowWrite, 0, drop_driver_faults,
         {0, {1, 0}}},

        // ---- configuration files ----
        // Without a card the card configuration file configures nothing and gives 0.
        {"device_cannot_open_card_config_file", Stage::installed,
         [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_OPEN); }, initial_then_config_file,
         {0, {QUVEX_ERR_NO_CARD}}, kNoPortWrite, 0, drop_driver_faults, {0, {0}}},
    };
}

}  // namespace quvex::test::faults
