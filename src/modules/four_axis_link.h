// One four-axis module as the library reaches it: a transport for its messages, its slave record
// (manual-operation mode and axis, one axis block per axis) and the module's register and axis
// accesses built on the transport. Every access is one message plus its end-of-transfer word;
// sequences of accesses are not atomic.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "ring/ring_master.h"
#include "ring/slave_record.h"

namespace quvex::modules::m4 {

using Reply = std::array<std::uint16_t, ring::kReplyWords>;

// Where the module's messages go. The ring master's transport is the only one the exports use;
// the seam lets the line and profile sequences be driven against a transport that fails on cue.
class Transport {
public:
    // 0, or the code of the failed message.
    virtual std::int16_t send(std::span<const std::uint16_t> words) = 0;
    // As send, and the reply words (word count + 1 of them) into `reply`.
    virtual std::int16_t query(std::span<const std::uint16_t> words, Reply& reply) = 0;

protected:
    ~Transport() = default;
};

class RingTransport final : public Transport {
public:
    RingTransport(ring::RingMaster& master, int slave) : master_(master), slave_(slave) {}
    std::int16_t send(std::span<const std::uint16_t> words) override;
    std::int16_t query(std::span<const std::uint16_t> words, Reply& reply) override;

private:
    ring::RingMaster& master_;
    int slave_;
};

// The six words of a motion-data read: command counter, position counter and status, each as
// low and high words.
using MotionData = std::array<std::uint16_t, 6>;

class Link {
public:
    Link(Transport& transport, ring::SlaveRecord& record) : transport_(transport), record_(record) {}

    ring::SlaveRecord& record() { return record_; }
    ring::ModuleAxisBlock& block(int axis) { return record_.axes[static_cast<std::size_t>(axis)]; }

    // Module register read: 0 with the value when the reply echoes the request, else -46
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

}  // namespace quvex::modules::m4
