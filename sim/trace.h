// The bus analyser of the virtual installation: raw accesses, and the same decoded into typed
// events (what happened, where, with which code and value). Text exists only when someone asks
// for it (a dump, a test printing a line); recording an event never formats anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qsim {

enum class AccessKind : int { in8 = 1, out8, in16, out16, window_read, window_write, request };

struct Access {
    std::int64_t time;
    AccessKind kind;
    std::uint32_t address;
    std::uint32_t value;
    int device;
};

// What a decoded event is. The numbers are those of the QUVEX_SIM_EV_* constants in sim.h.
enum class TraceKind : std::uint8_t {
    chip_status = 1,    // main status port read; value = the word
    chip_substatus,     // sub-status port read
    chip_reg_write,     // code = write code, value = data
    chip_reg_read,      // code = read code, value = data loaded into the data words
    chip_command,       // code = the command word
    card_port_write,    // card-level chip port; code = offset
    board_read,         // board port; code = offset, value = word
    board_write,
    bridge_read16,      // bridge word; code = offset
    bridge_write16,
    bridge_read8,       // bridge byte; code = offset
    bridge_write8,
    card_byte_write,    // a byte write into a card's chip or board ports; code = port
    request,            // driver request; code = request code, value 1 ok, 0 refused
    port_read8,         // a port nobody decodes; code = port
    port_write8,
    port_read16,
    port_write16,
    ring_scan,
    ring_run,
    ring_stop,
    ring_reset,
    ring_control,       // any other control word; code = the word
    ring_error_map_write,  // code = error-map word 0..3, value = the written bits
    ring_cyclic_write,     // station, code = cyclic word 0 or 1, value = the word
    ring_message,          // station; words = the message, reply = the answer
    ring_ident,            // station; value = the identification
    ring_reply,            // station answering a message later than its send command; reply words
};

// Flags of an event.
constexpr std::uint8_t kTraceNoAnswer = 0x1;  // message or identification left unanswered
constexpr std::uint8_t kTraceStuck = 0x2;     // cyclic write into a stuck word

// One decoded event. Message words live in the trace's word pool (words_at, word_count, then
// reply_count words of the reply right behind them).
struct TraceRecord {
    std::int64_t time = 0;
    TraceKind kind = TraceKind::chip_status;
    std::uint8_t flags = 0;
    std::int8_t device = -1;   // -1: no device decodes it
    std::int8_t axis = -1;     // chip axis 0..3, -1 when not an axis event
    std::int8_t station = -1;  // ring station 0..63, -1 when not a station event
    std::uint32_t code = 0;
    std::uint32_t value = 0;
    std::uint32_t words_at = 0;
    std::uint16_t word_count = 0;
    std::uint16_t reply_count = 0;
};

// Where an event happened.
struct TraceSite {
    int device = -1;
    int axis = -1;
    int station = -1;
    static TraceSite of_device(int device) { return TraceSite{device, -1, -1}; }
    static TraceSite of_axis(int device, int axis) { return TraceSite{device, axis, -1}; }
    static TraceSite of_station(int device, int station) { return TraceSite{device, -1, station}; }
};

class Trace {
public:
    bool enabled = false;
    std::vector<Access> accesses;
    std::vector<TraceRecord> records;
    std::vector<std::uint16_t> word_pool;

    void access(std::int64_t time, AccessKind kind, std::uint32_t address, std::uint32_t value, int device) {
        if (enabled) accesses.push_back(Access{time, kind, address, value, device});
    }
    void event(std::int64_t time, TraceKind kind, TraceSite site, std::uint32_t code = 0, std::uint32_t value = 0,
               std::uint8_t flags = 0) {
        if (enabled) records.push_back(make(time, kind, site, code, value, flags));
    }
    // An event carrying message words and reply words.
    void message(std::int64_t time, TraceKind kind, TraceSite site, const std::vector<std::uint16_t>& words,
                 const std::vector<std::uint16_t>& reply, std::uint8_t flags = 0);
    void clear() {
        accesses.clear();
        records.clear();
        word_pool.clear();
    }

    // The message words and reply words of a record.
    std::vector<std::uint16_t> words_of(const TraceRecord& r) const;
    std::vector<std::uint16_t> reply_of(const TraceRecord& r) const;
    // The record as one line of the bus analyser's listing (without its time).
    std::string text(const TraceRecord& r) const;

private:
    static TraceRecord make(std::int64_t time, TraceKind kind, TraceSite site, std::uint32_t code, std::uint32_t value,
                            std::uint8_t flags);
};

// "X", "Y", "Z", "U"
const char* axis_letter(int axis);

}  // namespace qsim
