// Each fault the virtual installation can inject, against each family of exports it meets: the
// status the call gives under the fault, what it leaves alone (out-pointers keep their fill
// pattern, no port, window or message write it should not make), and that the same call gives
// its normal result again once the fault is cleared. docs/faults.md holds the same matrix.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "events/error_log.h"
#include "platform/platform.h"
#include "sim_fixture.h"

namespace quvex::test {
namespace {

// Fill patterns of out-pointers: a refused call must leave them as they are.
constexpr int16_t kFill16 = -7;
constexpr uint16_t kFillU16 = 0xA5A5;
constexpr uint32_t kFill32 = 0xA5A5A5A5u;
constexpr double kFillDouble = -12345.5;

// Installation before the fault: stations of the ring at fixed slaves.
constexpr int kIoSlave = 5;
constexpr int kM1Slave = 7;
constexpr int kM4Slave = 9;
constexpr uint16_t kM4Id = 0x0042;
constexpr uint32_t kIoIdent = 0x0000ABCD;  // bit 20 clear: identified as 0xA3
constexpr const char* kUserEvent = "fault matrix user event";
constexpr const char* kE4 = "PCIQUVEXW0E4";
constexpr const char* kStopLog = "fault_matrix_stop.log";

enum class Stage {
    installed,  // card behind device 0, nothing opened
    opened,     // quvex_initial found it
    ring,       // ring 0 opened and running: an I/O station, a one-axis and a four-axis module
    watchdog,   // and its soft watchdog running, waking kUserEvent
};

// What the call under the fault must not do.
enum Untouched : unsigned {
    kNoPortWrite = 0x1,    // no port write to any card
    kNoWindowWrite = 0x2,  // no write to a ring window
    kNoMessage = 0x4,      // no ring message sent
};

struct Outcome {
    int status = 0;
    std::vector<long long> outs;  // what the call wrote or left, and what it changed outside
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "status " << o.status << ", outs {";
    for (std::size_t i = 0; i < o.outs.size(); ++i) *os << (i ? ", " : "") << o.outs[i];
    *os << "}";
}

struct Cell;
void PrintTo(const Cell& c, std::ostream* os);

struct Cell {
    const char* name;  // fault_family
    Stage stage;
    void (*inject)();
    Outcome (*call)();
    Outcome faulted;
    unsigned untouched;      // Untouched bits for the call under the fault
    uint16_t unsent_word;    // no message under the fault carries this word (0: no such rule)
    void (*clear)();         // takes the fault away (and whatever the application does then)
    Outcome recovered;
};

void PrintTo(const Cell& c, std::ostream* os) { *os << c.name; }

// ---- helpers shared by the calls ----

int device_open() {
    quvex_sim_card_info info{};
    return quvex_sim_card_info_get(0, &info) == 0 ? info.open : -1;
}

long long elapsed_ms(double since) { return std::llround((quvex_sim_now() - since) * 1000.0); }

void add_stations() {
    quvex_sim_ring_add_io_slave(0, kIoSlave, 0x81, kIoIdent);
    quvex_sim_ring_add_m1_module(0, kM1Slave);
    quvex_sim_ring_add_m4_module(0, kM4Slave, kM4Id);
}

// Leaves a transfer marked on ring 0 (a module write), so that the watchdog polls. Its own
// status reads come before any injected bits.
void mark_transfer() { kring_m1_emg_stop(0, kM1Slave); }

void signal_axis_event(int k) {
    char name[32];
    std::snprintf(name, sizeof name, "PCIQUVEXW0E%d", k);
    const plat::Handle ev = plat::event_open(name);
    plat::event_set(ev);
    plat::handle_close(ev);
    quvex_sim_advance(0.001);  // the callback thread runs until it waits again
}

// Switches tracing on (it may be on already) and returns the index of the next decoded event.
std::size_t trace_from_now() {
    quvex_sim_trace_enable(1);
    return quvex_sim_trace_count();
}

constexpr uint32_t kInterruptStatusRequest = 0x223408;
constexpr uint32_t kErrorStatusRequest = 0x22340C;

// 1 when the driver took a request of this code since event `from`, 0 when not.
int request_taken_since(std::size_t from, uint32_t code) {
    for (std::size_t i = from; i < quvex_sim_trace_count(); ++i) {
        quvex_sim_event e{};
        quvex_sim_trace_get(i, &e);
        if (e.kind == QUVEX_SIM_EV_REQUEST && e.code == code && e.value == 1) return 1;
    }
    return 0;
}

std::atomic<int> g_callback_axis{-1};
void QUVEX_CALL record_axis(int32_t axis_no) { g_callback_axis.store(axis_no); }

const char* config_file() {
    static const std::string path = [] {
        const std::string name = "fault_matrix_card.cfg";
        std::ofstream(name, std::ios::binary) << std::string(5568, '\0');  // 48 records of zeros
        return name;
    }();
    return path.c_str();
}

const char* motion_file() {
    static const std::string path = [] {
        const std::string name = "fault_matrix_motion.ini";
        std::ofstream(name) << "[RING0]\nSLAVE7=0111010000000000000000\n";
        return name;
    }();
    return path.c_str();
}

// ---- the calls ----

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

Outcome ring_status_call() {
    uint16_t status = kFillU16;
    const int rc = kring_get_ring_status(0, &status);
    return {rc, {status}};
}

// The watchdog under erroneous polls: the ring's state, the master's mode and the user event.
Outcome watchdog_run() {
    quvex_sim_advance(0.05);
    return {kring_get_com_status(0), {quvex_sim_ring_mode(0), quvex_sim_event_state(kUserEvent)}};
}

Outcome error_device_call() {
    quvex_sim_advance(0.01);
    const int first = kring_get_error_device(0);
    return {first, {kring_get_error_device(0), kring_get_com_status(0), quvex_sim_ring_error_map(0, 0)}};
}

Outcome watchdog_enable_call() {
    const int threads = quvex_sim_live_threads();
    void* ev = reinterpret_cast<void*>(plat::event_create(kUserEvent, true, false));
    const int status = kring_enable_soft_watchdog(0, &ev);
    return {status, {quvex_sim_live_threads() - threads}};
}

// The code, and whether the identification waited out its 200 ms (an answer is taken at the
// watchdog's next pass, within a millisecond).
Outcome identify_call() {
    uint8_t code = 0x5A;
    const double start = quvex_sim_now();
    const int status = kring_id_data_device(0, kIoSlave, &code);
    return {status, {code, elapsed_ms(start) >= 200 ? 1 : 0}};
}

// The stations a scan finds (bits of slaves 0..31) and the type byte of the I/O station.
Outcome active_table_call() {
    uint32_t table[2] = {kFill32, kFill32};
    const int status = kring_get_ring_active_table(0, table);
    return {status, {table[0], kring_get_slave_info(0, kIoSlave)}};
}

Outcome io_output_call() {
    const int status = kring_io_output(0, kIoSlave, 0, 0xAB);
    return {status, {quvex_sim_ring_io_get(0, kIoSlave, 0), kring_io_input(0, kIoSlave, 0)}};
}

// A counter written, then read back.
Outcome m1_position_call() {
    const int set = kring_m1_set_position(0, kM1Slave, 555);
    uint32_t pos = kFill32;
    const int got = kring_m1_get_position(0, kM1Slave, &pos);
    return {set, {got, pos}};
}

Outcome m1_servo_on_call() {
    const int status = kring_m1_set_svon(0, kM1Slave, 1);
    return {status, {quvex_sim_m1_outputs(0, kM1Slave) & 0x01}};
}

// Comparator 1's data written, then read back.
Outcome m1_comparator_call() {
    const int set = kring_m1_set_comparator_data(0, kM1Slave, 1, 1234.0);
    double data = kFillDouble;
    const int got = kring_m1_get_comparator_data(0, kM1Slave, 1, &data);
    return {set, {got, std::llround(data)}};
}

Outcome m1_motion_file_call() {
    const int answered = quvex_sim_ring_messages(0);
    const int status = kring_m1_load_motion_file(0, kM1Slave, motion_file());
    return {status, {quvex_sim_ring_messages(0) - answered > 0 ? 1 : 0}};
}

Outcome m4_io_status_call() {
    uint32_t io = kFill32;
    const int status = kring_m4_get_io_status(0, kM4Slave, 0, &io);
    return {status, {io}};
}

Outcome m4_set_ell_call() {
    const int status = kring_m4_set_ell(0, kM4Slave, 1, 0);
    uint16_t enable = 0;
    quvex_sim_m4_register(0, kM4Slave, 2, &enable);
    return {status, {enable}};
}

Outcome m4_position_call() {
    const int set = kring_m4_set_position(0, kM4Slave, 2, 777);
    uint32_t pos = kFill32;
    const int got = kring_m4_get_position(0, kM4Slave, 2, &pos);
    return {set, {got, pos}};
}

Outcome m4_idnum_call() {
    uint16_t id = kFillU16;
    const int status = kring_m4_get_idnum(0, kM4Slave, &id);
    return {status, {id}};
}

Outcome m4_mof_status_call() {
    uint16_t status = kFillU16;
    const int rc = kring_m4_get_mof_status(0, kM4Slave, &status);
    return {rc, {status}};
}

Outcome m4_asic_read_call() {
    uint32_t value = kFill32;
    const int status = kring_m4_read_asic_reg(0, kM4Slave, 1, 0xF5, &value);
    return {status, {value}};
}

// ---- faults and how they are cleared ----

void no_fault() {}
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
void restart_ring() {
    plat::Handle ev = plat::event_open(kUserEvent);
    plat::event_reset(ev);
    plat::handle_close(ev);
    kring_start_ring(0);
}
void io_slave_silent() { quvex_sim_ring_slave_silent(0, kIoSlave, 1); }
void io_slave_speaks() { quvex_sim_ring_slave_silent(0, kIoSlave, 0); }
void io_slave_removed() { quvex_sim_ring_remove_slave(0, kIoSlave); }
void io_slave_back() { quvex_sim_ring_add_io_slave(0, kIoSlave, 0x81, kIoIdent); }
void m1_silent() { quvex_sim_ring_slave_silent(0, kM1Slave, 1); }
void m1_speaks() { quvex_sim_ring_slave_silent(0, kM1Slave, 0); }
void m1_removed() { quvex_sim_ring_remove_slave(0, kM1Slave); }
void m1_back() { quvex_sim_ring_add_m1_module(0, kM1Slave); }
void m4_silent() { quvex_sim_ring_slave_silent(0, kM4Slave, 1); }
void m4_speaks() { quvex_sim_ring_slave_silent(0, kM4Slave, 0); }
void m4_removed() { quvex_sim_ring_remove_slave(0, kM4Slave); }
void m4_back() { quvex_sim_ring_add_m4_module(0, kM4Slave, kM4Id); }

const Cell kCells[] = {
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
    {"first_query_fails_open_kring", Stage::installed, [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_QUERY1); },
     initial_then_open_ring, {QUVEX_ERR_NO_CARD, {kFill16, QUVEX_ERR_CARD_NUMBER}}, kNoPortWrite | kNoWindowWrite, 0,
     drop_driver_faults, {0, {1, 0}}},

    // ---- ring control and the watchdog ----
    // Without a watchdog the status is read now and shows the injected bits; they pass.
    {"status_bits_ring_status", Stage::ring, [] { quvex_sim_ring_status_fault(0, 0x0010, 1); }, ring_status_call,
     {0, {0x0011}}, kNoPortWrite | kNoWindowWrite, 0, no_fault, {0, {0x0001}}},
    // Eleven erroneous polls in a row stop the ring and wake the application.
    {"status_bits_watchdog", Stage::watchdog, [] {
         mark_transfer();
         quvex_sim_ring_status_fault(0, 0x0020, 11);
     },
     watchdog_run,
     {3, {3, 1}}, kNoPortWrite, 0, restart_ring, {1, {2, 0}}},
    // An application event nobody hears: the ring still stops.
    {"deaf_user_event_watchdog", Stage::watchdog,
     [] {
         mark_transfer();
         quvex_sim_event_deaf(kUserEvent, 1);
         quvex_sim_ring_status_fault(0, 0x0020, 11);
     },
     watchdog_run, {3, {3, 0}}, kNoPortWrite, 0,
     [] {
         quvex_sim_event_deaf(kUserEvent, 0);
         restart_ring();
     },
     {1, {2, 0}}},
    {"error_map_error_device", Stage::watchdog, [] {
         mark_transfer();
         quvex_sim_ring_flag_error(0, kIoSlave);
     },
     error_device_call,
     {kIoSlave, {KRING_ERR_SLAVE, 2, 0}}, kNoPortWrite, 0, restart_ring, {KRING_ERR_SLAVE, {KRING_ERR_SLAVE, 1, 0}}},
    {"thread_creation_fails_soft_watchdog", Stage::ring, [] { quvex_sim_fail_thread_creations(1); },
     watchdog_enable_call, {KRING_ERR_FAILED, {0}}, kNoPortWrite | kNoWindowWrite, 0, no_fault, {0, {1}}},
    // The export hides the identification's time-out: 0 and the code 0xA4 after 200 ms.
    {"silent_station_identification", Stage::watchdog, io_slave_silent, identify_call, {0, {0xA4, 1}},
     kNoPortWrite, 0, io_slave_speaks, {0, {0xA3, 0}}},
    {"removed_station_identification", Stage::watchdog, io_slave_removed, identify_call, {0, {0xA4, 1}},
     kNoPortWrite, 0, io_slave_back, {0, {0xA3, 0}}},

    // A scan lists what is plugged: a silent station is there, a removed one is not.
    {"silent_station_active_table", Stage::ring, io_slave_silent, active_table_call,
     {0, {0x2A0, 0x81}}, kNoPortWrite | kNoMessage, 0, io_slave_speaks, {0, {0x2A0, 0x81}}},
    {"removed_station_active_table", Stage::ring, io_slave_removed, active_table_call,
     {0, {0x280, 0}}, kNoPortWrite | kNoMessage, 0, io_slave_back, {0, {0x2A0, 0x81}}},

    // ---- I/O stations ----
    {"stuck_cyclic_io_output", Stage::ring, [] { quvex_sim_ring_stuck_cyclic(0, kIoSlave, 0, 1); }, io_output_call,
     {KRING_ERR_FAILED, {0, 0}}, kNoPortWrite | kNoMessage, 0,
     [] { quvex_sim_ring_stuck_cyclic(0, kIoSlave, 0, 0); }, {0, {0xAB, 0xAB}}},
    // Cyclic bytes are not messages: a silent station still takes and shows them.
    {"silent_station_io_output", Stage::ring, io_slave_silent, io_output_call, {0, {0xAB, 0xAB}},
     kNoPortWrite | kNoMessage, 0, io_slave_speaks, {0, {0xAB, 0xAB}}},
    // The master holds the cyclic words: with nobody at the slave a write still reads back.
    {"removed_station_io_output", Stage::ring, io_slave_removed, io_output_call, {0, {0xAB, 0xAB}},
     kNoPortWrite | kNoMessage, 0, io_slave_back, {0, {0xAB, 0xAB}}},

    // ---- one-axis module: replies that never come ----
    // Writes report success; a read hands out what the empty message port holds.
    {"silent_m1_counter", Stage::ring, m1_silent, m1_position_call, {0, {0, 0}}, kNoPortWrite, 0, m1_speaks,
     {0, {0, 555}}},
    {"removed_m1_counter", Stage::ring, m1_removed, m1_position_call, {0, {0, 0}}, kNoPortWrite, 0, m1_back,
     {0, {0, 555}}},
    // The output byte goes out as a cyclic write whose read-back is not judged by the export.
    {"stuck_cyclic_m1_servo_on", Stage::ring, [] { quvex_sim_ring_stuck_cyclic(0, kM1Slave, 1, 1); },
     m1_servo_on_call, {0, {0}}, kNoPortWrite | kNoMessage, 0, [] { quvex_sim_ring_stuck_cyclic(0, kM1Slave, 1, 0); },
     {0, {1}}},
    {"silent_m1_comparator", Stage::ring, m1_silent, m1_comparator_call, {0, {0, 0}}, kNoPortWrite, 0, m1_speaks,
     {0, {0, 1234}}},
    // The motion file reports no setter's failure.
    {"silent_m1_motion_file", Stage::ring, m1_silent, m1_motion_file_call, {0, {0}}, kNoPortWrite, 0, m1_speaks,
     {0, {1}}},

    // ---- four-axis module: replies that never come ----
    // A module register read that is not echoed: -46, the out-value not written.
    {"silent_m4_io_status", Stage::ring, m4_silent, m4_io_status_call, {-46, {kFill32}}, kNoPortWrite, 0, m4_speaks,
     {0, {0}}},
    {"removed_m4_io_status", Stage::ring, m4_removed, m4_io_status_call, {-46, {kFill32}}, kNoPortWrite, 0, m4_back,
     {0, {0}}},
    // Register 2 cannot be rewritten when it could not be read: no write of it goes out.
    {"silent_m4_limit_enable", Stage::ring, m4_silent, m4_set_ell_call, {-46, {0x000F}}, kNoPortWrite, 0x0902,
     m4_speaks, {0, {0x000D}}},
    // Axis reads that are not echoed report 0 and hand out 0.
    {"silent_m4_counter", Stage::ring, m4_silent, m4_position_call, {0, {0, 0}}, kNoPortWrite, 0, m4_speaks,
     {0, {0, 777}}},
    // Reads whose result the export does not report leave the caller's value as it was.
    {"silent_m4_idnum", Stage::ring, m4_silent, m4_idnum_call, {0, {kFillU16}}, kNoPortWrite, 0, m4_speaks,
     {0, {kM4Id}}},
    {"silent_m4_mof_status", Stage::ring, m4_silent, m4_mof_status_call, {-46, {kFillU16}}, kNoPortWrite, 0,
     m4_speaks, {0, {0}}},
    {"silent_m4_chip_register", Stage::ring, m4_silent, m4_asic_read_call, {0, {kFill32}}, kNoPortWrite, 0,
     m4_speaks, {0, {0}}},

    {"removed_m1_motion_file", Stage::ring, m1_removed, m1_motion_file_call, {0, {0}}, kNoPortWrite, 0, m1_back,
     {0, {1}}},

    // ---- configuration files ----
    // Without a card the card configuration file configures nothing and gives 0.
    {"device_cannot_open_card_config_file", Stage::installed,
     [] { quvex_sim_set_driver_faults(0, QUVEX_SIM_FAIL_OPEN); }, initial_then_config_file,
     {0, {QUVEX_ERR_NO_CARD}}, kNoPortWrite, 0, drop_driver_faults, {0, {0}}},
};

// ---- the matrix ----

struct Accesses {
    int port_writes = 0;
    int window_writes = 0;
};

Accesses accesses_since_clear() {
    Accesses a;
    for (std::size_t i = 0; i < quvex_sim_access_count(); ++i) {
        quvex_sim_access r{};
        quvex_sim_access_get(i, &r);
        if (r.kind == QUVEX_SIM_ACCESS_OUT8 || r.kind == QUVEX_SIM_ACCESS_OUT16) ++a.port_writes;
        if (r.kind == QUVEX_SIM_ACCESS_WINDOW_WRITE) ++a.window_writes;
    }
    return a;
}

bool message_carries(int from, uint16_t word) {
    const int n = quvex_sim_ring_history_count(0);
    for (int i = from < 0 ? 0 : from; i < n; ++i) {
        quvex_sim_ring_message m{};
        quvex_sim_ring_history_get(0, i, &m);
        for (int w = 0; w < m.word_count; ++w) {
            if (m.words[w] == word) return true;
        }
    }
    return false;
}

class FaultMatrix : public ::testing::TestWithParam<Cell> {
protected:
    void SetUp() override {
        reset_installation();
        events::reset_error_log();
        quvex_sim_add_card(0);
        const Stage stage = GetParam().stage;
        if (stage == Stage::installed) return;
        int16_t count = 0;
        ASSERT_EQ(quvex_initial(&count), 0);
        if (stage == Stage::opened) return;
        ASSERT_EQ(quvex_open_kring(0), 0);
        add_stations();
        ASSERT_EQ(kring_start_ring(0), 0);
        ASSERT_EQ(kring_m1_initial(0, kM1Slave), 0);
        ASSERT_EQ(kring_m4_initial(0, kM4Slave), 0);
        if (stage == Stage::ring) return;
        void* ev = reinterpret_cast<void*>(plat::event_create(kUserEvent, true, false));
        ASSERT_EQ(kring_enable_soft_watchdog(0, &ev), 0);
    }
    void TearDown() override {
        quvex_sim_trace_enable(0);
        kring_close();
        quvex_close();
    }
};

TEST_P(FaultMatrix, StatusUnderTheFaultNothingOutsideAndRecovery) {
    const Cell& c = GetParam();
    c.inject();
    const int messages_before = quvex_sim_ring_history_count(0);
    quvex_sim_trace_clear();
    quvex_sim_trace_enable(1);
    const Outcome faulted = c.call();
    quvex_sim_trace_enable(0);
    EXPECT_EQ(faulted, c.faulted) << "under the fault";

    const Accesses a = accesses_since_clear();
    if (c.untouched & kNoPortWrite) {
        EXPECT_EQ(a.port_writes, 0) << "port writes under the fault";
    }
    if (c.untouched & kNoWindowWrite) {
        EXPECT_EQ(a.window_writes, 0) << "window writes under the fault";
    }
    if (c.untouched & kNoMessage) {
        EXPECT_EQ(quvex_sim_ring_history_count(0), messages_before) << "messages sent under the fault";
    }
    if (c.unsent_word != 0) {
        EXPECT_FALSE(message_carries(messages_before, c.unsent_word)) << "message word sent under the fault";
    }

    c.clear();
    EXPECT_EQ(c.call(), c.recovered) << "after the fault was cleared";
}

INSTANTIATE_TEST_SUITE_P(Hardening, FaultMatrix, ::testing::ValuesIn(kCells),
                         [](const ::testing::TestParamInfo<Cell>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quvex::test
