// Ring-level exports: argument checks in their documented order, then one ring operation.
// A RingNo above 3 is refused as a ring that is not open, a SlaveNo above 63 with -5, on every
// export, also where no check is documented.
#include "quvex/quvex.h"

#include "ring/ring_table.h"

using namespace quvex;
using namespace quvex::ring;

namespace {

constexpr std::uint16_t unsigned_form(std::int16_t code) { return static_cast<std::uint16_t>(code); }

bool bad_slave(std::uint16_t slave) { return slave >= kSlaveCount; }
bool bad_port(std::uint8_t port) { return port >= kIoPortCount; }

}  // namespace

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_close(void) {
    for (unsigned r = 0; r < kRingCount; ++r) ring_slot(r)->close();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_set_ring_config(uint16_t ring, uint16_t /*config*/) {
    if (ring_slot(ring) == nullptr) return KRING_ERR_NOT_OPEN;
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_start_ring(uint16_t ring) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    r->start();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_stop_ring(uint16_t ring) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    r->stop();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_reset_ring(uint16_t ring) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    r->reset();
    plat::sleep_ms(kResetSettleMs);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_get_ring_active_table(uint16_t ring, uint32_t* table) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    std::uint32_t found[2];
    (void)r->scan_active_table(found);  // a stopped ring leaves the table all zero
    if (table != nullptr) {
        table[0] = found[0];
        table[1] = found[1];
    }
    return QUVEX_OK;
}

QUVEX_API uint16_t QUVEX_CALL kring_get_slave_info(uint16_t ring, uint16_t slave) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return unsigned_form(KRING_ERR_NOT_OPEN);
    if (bad_slave(slave)) return unsigned_form(KRING_ERR_SLAVE);
    return r->slave_type(slave);
}

QUVEX_API quvex_status QUVEX_CALL kring_get_ring_status(uint16_t ring, uint16_t* status) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    if (status == nullptr) return QUVEX_OK;
    if (r->watchdog_running()) *status = r->status_copy.load();
    else r->read_status(status);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_get_com_status(uint16_t ring) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    return static_cast<quvex_status>(r->state.load());
}

QUVEX_API quvex_status QUVEX_CALL kring_enable_soft_watchdog(uint16_t ring, void** event) {
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    if (event == nullptr) return r->enable_watchdog(nullptr);
    const auto handle = reinterpret_cast<plat::Handle>(*event);
    return r->enable_watchdog(&handle);
}

QUVEX_API quvex_status QUVEX_CALL kring_set_ring_quality_param(uint16_t ring, uint16_t limit, uint16_t param2) {
    RingMaster* r = ring_slot(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    r->set_quality(limit, param2);
    return 1;  // this export reports success as 1
}

QUVEX_API quvex_status QUVEX_CALL kring_get_error_device(uint16_t ring) {
    RingMaster* r = ring_slot(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    const int slave = r->take_slave_in_error();
    if (slave < 0) return KRING_ERR_SLAVE;
    return static_cast<quvex_status>(slave);
}

QUVEX_API quvex_status QUVEX_CALL kring_io_output(uint16_t ring, uint16_t slave, uint8_t port, uint8_t value) {
    if (bad_port(port)) return KRING_ERR_PORT;
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    if (bad_slave(slave)) return KRING_ERR_SLAVE;
    return r->cyclic_write_byte(slave, port, value);
}

QUVEX_API uint16_t QUVEX_CALL kring_io_input(uint16_t ring, uint16_t slave, uint8_t port) {
    if (bad_port(port)) return unsigned_form(KRING_ERR_PORT);
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return unsigned_form(KRING_ERR_NOT_OPEN);
    if (bad_slave(slave)) return unsigned_form(KRING_ERR_SLAVE);
    return r->cyclic_read_byte(slave, port);
}

QUVEX_API quvex_status QUVEX_CALL kring_id_data_device(uint16_t ring, uint16_t slave, uint8_t* id) {
    if (bad_slave(slave)) return KRING_ERR_SLAVE;
    RingMaster* r = open_ring(ring);
    if (r == nullptr) return KRING_ERR_NOT_OPEN;
    if (id != nullptr) (void)r->identify(slave, id);  // a time-out still reports 0xA4 and 0
    return QUVEX_OK;
}

}  // extern "C"
