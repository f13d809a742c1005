// Ring-level exports: argument checks in their documented order, then one ring operation.
// A RingNo above 3 is refused as a ring that is not open, a SlaveNo above 63 with KRING_ERR_SLAVE, on every
// export, also where no check is documented.
#include "card/export_checks.h"
#include "quvex/quvex.h"
#include "ring/ring_checks.h"
#include "ring/ring_control.h"

using namespace quvex;
using namespace quvex::ring;

extern "C" {

QUVEX_API quvex_status QUVEX_CALL kring_close(void) {
    close_all_rings();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_set_ring_config(uint16_t ring, uint16_t /*config*/) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_ring_slot(ring, &r));
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_start_ring(uint16_t ring) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    r->start();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_stop_ring(uint16_t ring) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    r->stop();
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_reset_ring(uint16_t ring) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    reset_and_settle(*r);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_get_ring_active_table(uint16_t ring, uint32_t* table) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    read_active_table(*r, table);
    return QUVEX_OK;
}

QUVEX_API uint16_t QUVEX_CALL kring_get_slave_info(uint16_t ring, uint16_t slave) {
    RingMaster* r = nullptr;
    QUVEX_TRY_UNSIGNED(check_open_ring(ring, &r));
    QUVEX_TRY_UNSIGNED(check_slave(slave));
    return r->slave_type(slave);
}

QUVEX_API quvex_status QUVEX_CALL kring_get_ring_status(uint16_t ring, uint16_t* status) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    ring_status(*r, status);
    return QUVEX_OK;
}

QUVEX_API quvex_status QUVEX_CALL kring_get_com_status(uint16_t ring) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    return static_cast<quvex_status>(r->state());
}

QUVEX_API quvex_status QUVEX_CALL kring_enable_soft_watchdog(uint16_t ring, void** event) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_open_ring(ring, &r));
    return enable_soft_watchdog(*r, event);
}

QUVEX_API quvex_status QUVEX_CALL kring_set_ring_quality_param(uint16_t ring, uint16_t limit, uint16_t param2) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_ring_slot(ring, &r));
    r->set_quality(limit, param2);
    return 1;  // this export reports success as 1
}

QUVEX_API quvex_status QUVEX_CALL kring_get_error_device(uint16_t ring) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_ring_slot(ring, &r));
    return take_error_device(*r);
}

QUVEX_API quvex_status QUVEX_CALL kring_io_output(uint16_t ring, uint16_t slave, uint8_t port, uint8_t value) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_io_port(port));
    QUVEX_TRY(check_open_ring(ring, &r));
    QUVEX_TRY(check_slave(slave));
    return r->cyclic_write_byte(slave, port, value);
}

QUVEX_API uint16_t QUVEX_CALL kring_io_input(uint16_t ring, uint16_t slave, uint8_t port) {
    RingMaster* r = nullptr;
    QUVEX_TRY_UNSIGNED(check_io_port(port));
    QUVEX_TRY_UNSIGNED(check_open_ring(ring, &r));
    QUVEX_TRY_UNSIGNED(check_slave(slave));
    return r->cyclic_read_byte(slave, port);
}

QUVEX_API quvex_status QUVEX_CALL kring_id_data_device(uint16_t ring, uint16_t slave, uint8_t* id) {
    RingMaster* r = nullptr;
    QUVEX_TRY(check_slave(slave));
    QUVEX_TRY(check_open_ring(ring, &r));
    return identify_device(*r, slave, id);
}

}  // extern "C"
