// One four-axis module as the library reaches it: a transport for its messages, its slave record
// (manual-operation mode and axis, one axis block per axis) and the module's register and axis
// accesses built on the transport. Every access is one exchange of the transport; sequences of
// accesses are not atomic. axis(n) hands out one axis in the AxisLink shape.
#pragma once

#include <array>
#include <cstdint>

#include "modules/four_axis_codes.h"
#include "modules/four_axis_transport.h"
#include "modules/module_kind.h"
#include "ring/slave_record.h"

namespace quvex::modules::m4 {

// The six words of a motion-data read: command counter, position counter and status, each as
// low and high words.
using MotionData = std::array<std::uint16_t, 6>;

class ModuleAxis;

class FourAxisLink {
public:
    static constexpr int kAxisCount = m4::kAxisCount;

    FourAxisLink(Transport& transport, ring::SlaveRecord& record) : transport_(transport), record_(record) {}

    ring::SlaveRecord& record() { return record_; }
    ring::ModuleAxisBlock& block(int axis) { return record_.axes[static_cast<std::size_t>(axis)]; }
    ModuleAxis axis(int axis);

    // Module register read: 0 with the value when the reply echoes the request, else KRING_ERR_NOT_ECHOED
    // (the value untouched).
    std::int16_t read_module(std::uint16_t address, std::uint16_t* value);
    // Module register write: 0 or -37.
    std::int16_t write_module(std::uint16_t address, std::uint16_t value);
    // Axis register write (data first, then the code to the command port): 0 or -49.
    std::int16_t write_axis(int axis, std::uint16_t code, std::uint32_t value);
    // A plain command: the code with zero data.
    std::int16_t command(int axis, std::uint16_t code) { return write_axis(axis, code, 0); }
    // Axis register read: the value when the reply echoes the data-read word, else untouched.
    // True when it was echoed; the exports report 0 either way.
    bool read_axis(int axis, std::uint16_t code, std::uint32_t* value);
    // Command counter, position counter and status in one message; true and the six words when
    // the reply's first word echoes the data-read word, else false and the words untouched.
    bool read_motion_data(int axis, MotionData& data);

private:
    Transport& transport_;
    ring::SlaveRecord& record_;
};

// One axis of the module, for the sequences both module kinds share.
class ModuleAxis {
public:
    static constexpr const ModuleKind& kind = kFourAxis;

    ModuleAxis(FourAxisLink& module, int number) : module_(module), number_(number) {}

    FourAxisLink& module() { return module_; }
    int number() const { return number_; }
    ring::ModuleAxisBlock& block() { return module_.block(number_); }
    std::int16_t write(std::uint16_t code, std::uint32_t value) { return module_.write_axis(number_, code, value); }
    std::int16_t command(std::uint16_t code) { return module_.command(number_, code); }
    bool read(std::uint16_t code, std::uint32_t* value) { return module_.read_axis(number_, code, value); }

private:
    FourAxisLink& module_;
    int number_;
};

inline ModuleAxis FourAxisLink::axis(int axis) { return {*this, axis}; }

// What with_module needs to reach the module on an open ring.
struct OnRing {
    OnRing(ring::RingMaster& master, int slave) : transport(master, slave), link(transport, master.slave(slave)) {}
    HandshakeTransport transport;
    FourAxisLink link;
};

}  // namespace quvex::modules::m4
