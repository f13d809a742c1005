// One one-axis module as the library reaches it: its ring master, its slave number and the axis
// block of its slave record. Every register access is one three-word message through the ring
// master, which takes the ring lock for that message alone. The module's only axis: the link
// has the AxisLink shape itself.
#pragma once

#include <cstdint>

#include "modules/module_kind.h"
#include "ring/ring_master.h"
#include "ring/slave_record.h"

namespace quvex::modules::m1 {

class OneAxisLink {
public:
    static constexpr const ModuleKind& kind = kOneAxis;
    static constexpr int kAxisCount = 1;

    OneAxisLink(ring::RingMaster& master, int slave) : master_(master), slave_(slave) {}

    ring::ModuleAxisBlock& block() { return master_.slave(slave_).axes[0]; }

    // Command (value words 0) and register write: {code, low half, high half}.
    std::int16_t command(std::uint16_t code);
    std::int16_t write(std::uint16_t code, std::uint32_t value);
    // Register read: the second and third reply words as the 32-bit value.
    std::int16_t read(std::uint16_t code, std::uint32_t* value);

    std::uint8_t cyclic_in(int port) const { return master_.cyclic_read_byte(slave_, port); }
    std::int16_t cyclic_out(int port, std::uint8_t value) { return master_.cyclic_write_byte(slave_, port, value); }

private:
    ring::RingMaster& master_;
    int slave_;
};

// What with_module needs to reach the module on an open ring.
struct OnRing {
    OnRing(ring::RingMaster& master, int slave) : link(master, slave) {}
    OneAxisLink link;
};

}  // namespace quvex::modules::m1
