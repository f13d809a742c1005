// The ring's cells of the fault matrix: status and error-map bits against the ring calls and the
// watchdog, failing thread creation, silent and removed stations against identification, scans
// and the modules' messages, and cyclic words that never read back.
#include <fstream>
#include <string>

#include "fault_matrix.h"
#include "common/platform.h"

namespace quvex::test::faults {

void add_stations() {
    quvex_sim_ring_add_io_slave(0, kIoSlave, 0x81, kIoIdent);
    quvex_sim_ring_add_m1_module(0, kM1Slave);
    quvex_sim_ring_add_m4_module(0, kM4Slave, kM4Id);
}

namespace {

// Leaves a transfer marked on ring 0 (a module write), so that the watchdog polls. Its own
// status reads come before any injected bits.
void mark_transfer() { kring_m1_emg_stop(0, kM1Slave); }

const char* motion_file() {
    static const std::string path = [] {
        const std::string name = "fault_matrix_motion.ini";
        std::ofstream(name) << "[RING0]\nSLAVE7=0111010000000000000000\n";
        return name;
    }();
    return path.c_str();
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

// ---- clearing ----

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

}  // namespace

std::vector<Cell> ring_cells() {
    return {
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
         {kIoSlave, {KRING_ERR_SLAVE, 2, 0}}, kNoPortWrite, 0, restart_ring,
         {KRING_ERR_SLAVE, {KRING_ERR_SLAVE, 1, 0}}},
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
         m1_servo_on_call, {0, {0}}, kNoPortWrite | kNoMessage, 0,
         [] { quvex_sim_ring_stuck_cyclic(0, kM1Slave, 1, 0); }, {0, {1}}},
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

    };
}

}  // namespace quvex::test::faults
