// The fault matrix: one cell per fault the virtual installation can inject and family of exports
// it meets. A cell injects the fault, makes the family's call with its out-pointers filled with a
// pattern, and gives the outcome it must have under the fault and once the fault is cleared.
#pragma once

#include <cmath>
#include <cstdint>
#include <ostream>
#include <vector>

#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex::test::faults {

// Fill patterns of out-pointers: a refused call leaves them as they are.
constexpr int16_t kFill16 = -7;
constexpr uint16_t kFillU16 = 0xA5A5;
constexpr uint32_t kFill32 = 0xA5A5A5A5u;
constexpr double kFillDouble = -12345.5;

// The installation before the fault: card 0 behind device 0, and on its ring these stations.
constexpr int kIoSlave = 5;
constexpr int kM1Slave = 7;
constexpr int kM4Slave = 9;
constexpr uint16_t kM4Id = 0x0042;
constexpr uint32_t kIoIdent = 0x0000ABCD;  // bit 20 clear: identified as 0xA3
constexpr const char* kUserEvent = "fault matrix user event";

enum class Stage {
    installed,  // card behind device 0, nothing opened
    opened,     // quvex_initial found it
    ring,       // ring 0 opened and running, its stations initialised
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

inline void PrintTo(const Outcome& o, std::ostream* os) {
    *os << "status " << o.status << ", outs {";
    for (std::size_t i = 0; i < o.outs.size(); ++i) *os << (i ? ", " : "") << o.outs[i];
    *os << "}";
}

struct Cell {
    const char* name;  // fault_family
    Stage stage;
    void (*inject)();
    Outcome (*call)();
    Outcome faulted;
    unsigned untouched;    // Untouched bits for the call under the fault
    uint16_t unsent_word;  // no message under the fault carries this word (0: no such rule)
    void (*clear)();       // takes the fault away (and does what an application does then)
    Outcome recovered;
};

inline void PrintTo(const Cell& c, std::ostream* os) { *os << c.name; }

// Cells of the card: discovery, close, the compare thread, interrupts, the configuration file.
std::vector<Cell> card_cells();
// Cells of the ring: control, watchdog, I/O stations and the modules.
std::vector<Cell> ring_cells();

// Plugs the stations of the ring stage.
void add_stations();

inline void no_fault() {}

inline long long elapsed_ms(double since) { return std::llround((quvex_sim_now() - since) * 1000.0); }

// Switches tracing on (it may be on already) and returns the index of the next decoded event.
inline std::size_t trace_from_now() {
    quvex_sim_trace_enable(1);
    return quvex_sim_trace_count();
}

}  // namespace quvex::test::faults
