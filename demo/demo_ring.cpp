// The serial ring of card 0: two I/O stations are plugged into the virtual ring, the ring is
// opened, started and scanned, one station's output bytes are written and read back, the other
// station's input terminals are read, and the ring status is shown.
#include <cstdio>

#include "quvex/quvex.h"
#include "quvex/sim.h"
#include "sections.h"

namespace {

constexpr int kOutputStation = 2;
constexpr int kInputStation = 9;
constexpr uint8_t kIoStationType = 0x81;  // bit 7: present

void list_stations(uint16_t ring) {
    uint32_t table[2] = {0, 0};
    kring_get_ring_active_table(ring, table);
    std::printf("  active table: %08X %08X\n", table[1], table[0]);
    for (uint16_t s = 0; s < 64; ++s) {
        if ((table[s / 32] >> (s % 32) & 1u) == 0) continue;
        uint8_t id = 0;
        kring_id_data_device(ring, s, &id);
        std::printf("  station %2u: type 0x%02X, identification code 0x%02X\n", s, kring_get_slave_info(ring, s), id);
    }
}

}  // namespace

void demo_ring() {
    std::printf("\n== serial ring of card 0 ==\n");
    quvex_sim_ring_add_io_slave(0, kOutputStation, kIoStationType, 0x00000001);
    quvex_sim_ring_add_io_slave(0, kInputStation, kIoStationType, 0x00100002);
    for (int port = 0; port < 4; ++port) quvex_sim_ring_io_set(0, kInputStation, port, static_cast<uint8_t>(0xC0 + port));

    const quvex_status ring_no = quvex_open_kring(0);
    if (ring_no < 0 || ring_no > 3) {
        std::printf("quvex_open_kring -> %d\n", ring_no);
        return;
    }
    const auto ring = static_cast<uint16_t>(ring_no);
    uint32_t window = 0;
    quvex_get_kring_addr(0, &window);
    std::printf("ring %u attached (window low address 0x%08X), state %d\n", ring, window, kring_get_com_status(ring));

    void* user_event = nullptr;  // no application event: the watchdog still answers identifications
    kring_enable_soft_watchdog(ring, &user_event);
    kring_start_ring(ring);
    std::printf("ring started, state %d; stations found:\n", kring_get_com_status(ring));
    list_stations(ring);

    std::printf("output station %d:\n", kOutputStation);
    for (uint8_t port = 0; port < 4; ++port) {
        const uint8_t value = static_cast<uint8_t>(0x10 * (port + 1) + port);
        const quvex_status rc = kring_io_output(ring, kOutputStation, port, value);
        std::printf("  port %u <- 0x%02X (%d), reads back 0x%02X, terminal shows 0x%02X\n", port, value, rc,
                    kring_io_input(ring, kOutputStation, port), quvex_sim_ring_io_get(0, kOutputStation, port));
    }
    std::printf("input station %d:", kInputStation);
    for (uint8_t port = 0; port < 4; ++port) std::printf(" port %u = 0x%02X", port, kring_io_input(ring, kInputStation, port));
    std::printf("\n");

    uint16_t status = 0;
    kring_get_ring_status(ring, &status);
    std::printf("ring status 0x%04X, state %d, station in error: %d\n", status, kring_get_com_status(ring),
                kring_get_error_device(ring));
    kring_stop_ring(ring);
    std::printf("ring stopped, state %d\n", kring_get_com_status(ring));
    kring_close();
}
