// The four-axis motion module: a ring station with four chips counting 1200 / (R + 1) pulses per
// second, a 9 830 400 counts-per-second rate clock and 14-bit speed registers.
//
// The host reaches the module by 16-bit register addresses. A message is a run of word forms,
// taken in order:
//
//   0x0900 + a, value     write module register a
//   0x0A00 + a            read module register a: the reply gets {0x0A00 + a, value}
//   0x19A4 + 8k, lo, hi   load the data words of axis k's chip
//   0x1AA4 + 8k           read them back: the reply gets {0x1AA4 + 8k, lo, hi}
//   0x0400                end of transfer (alone): no reply words, the handshake line is let go
//
// Only the read forms put words into the reply, so a transfer that ends with 0x0400 leaves the
// message port empty. Any other message raises the handshake line (bit 1 of the window word the
// host polls) until its end-of-transfer word arrives. A word the module does not know ends the
// message: the words after it are dropped.
//
// Module registers:
//   0              identification number (read only)
//   2              limit-switch enable, bit k for axis k (power-up 0x000F): a cleared bit hides
//                  the axis's end-limit inputs from its chip
//   4              manual operation: bits 0..3 axis select, bit 4 all axes, bits 5..7 mode
//   6              manual status (read only): bits 0..3 axis k running, bit 4 manual operation on
//   0x20 + 8k      axis k's command port: written, a command or register code (0x04 resets the
//                  axis's chip, 0x20 / 0x21 clear its command / position counter, everything else
//                  goes to the chip); read, the chip's main status
//   0x22 + 8k      axis k's I/O port: written, bit 0 servo on and bit 1 alarm reset (the chip's
//                  outputs 0 and 1); read, the chip's signal word with the end limits as wired
//                  (bit 0 + limit, 1 - limit, 3 alarm, 6 general input 0, 11 origin, 12 index,
//                  13 in-position, 14 slow-down)
//   0x24 / 0x26 + 8k  axis k's chip data words, low / high
//   anything else  reads 0; writes are ignored
//
// Reply latency: by default the module has done a message's work before the host's first
// handshake read. A latency makes it hold the line low until the host has read the line low
// `polls` times and `seconds` of virtual time have passed since the message (polls < 0: never);
// only then does it carry the message out, answer it and raise the line. A message whose
// end-of-transfer word comes first is given up: not carried out, never answered.
//
// Cyclic bytes: port 0 bit 0 every axis stopped, bit 1 the handshake line, bits 4..7 axis k
// running; port 2 bits 0..3 axis k alarm, bits 4..7 axis k at an end limit; ports 1 and 3 are the
// host's and keep what it wrote.
#pragma once

#include <array>

#include "module_station.h"

namespace qsim {

// Identification bit 20 tells the host a four-axis module answered (it reports 0xA4).
constexpr std::uint8_t kFourAxisModuleType = 0xA4;
constexpr std::uint32_t kFourAxisIdentBase = 0x001A0000;
constexpr int kFourAxisModuleAxes = 4;

class FourAxisStation final : public ModuleStation {
public:
    FourAxisStation(Machine& machine, int device, int slave, std::uint16_t id_number);

    void on_plug(StationLink& link) override;
    void on_handshake_poll(StationLink& link) override;
    // How long the module takes to answer a message (see above). False for a delay below 0 or
    // NaN.
    bool set_reply_latency(int polls, Ns delay);
    // Raises or lets go of the handshake line around the base's decoding.
    std::optional<StationWords> on_message(StationLink& link, const StationWords& words) override;

    bool set_input(int axis, int signal, bool active) override;
    std::optional<bool> input(int axis, int signal) override;

    // A module register as a read would show it, without side effects; nullopt for an address
    // whose read would reach a chip's data words.
    std::optional<std::uint16_t> peek(unsigned address);
    // Whether register 4 lets the module's manual switches reach the axis.
    bool manual_selects(int axis) const;

private:
    StationWords decode(const StationWords& words) override;
    std::uint16_t compose_cyclic(int word, std::uint16_t stored) override;

    void write(unsigned address, std::uint16_t value);
    std::uint16_t read(unsigned address);
    void axis_command(int axis, std::uint16_t word);
    void take_io(int axis, std::uint16_t value);
    std::uint16_t io_word(int axis);
    std::uint16_t manual_status();
    void set_limit_enable(std::uint16_t value);
    void apply_limits(int axis);

    struct Limits {
        bool plus = false, minus = false;  // as the machine drives them
    };

    std::uint16_t id_number_;
    std::uint16_t limit_enable_ = 0x000F;
    std::uint16_t manual_control_ = 0;
    std::array<Limits, kFourAxisModuleAxes> limits_{};
    bool ready_ = false;

    struct Latency {
        int polls = 0;  // < 0: the module never answers
        Ns delay = 0;
    };
    struct PendingMessage {
        bool waiting = false;
        StationWords words;
        int polls_seen = 0;
        bool delay_passed = false;
        std::uint64_t serial = 0;  // names the message for its timer
        std::uint64_t timer = 0;
    };
    bool instant() const { return latency_.polls == 0 && latency_.delay == 0; }
    void give_up_pending(StationLink& link);
    void try_answer(StationLink& link);
    Latency latency_;
    PendingMessage pending_;
    std::uint64_t last_serial_ = 0;
};

}  // namespace qsim
