// The card table: twelve card records, each with four axis records, and the per-card event and
// thread bookkeeping of the frame. It is one piece of the library context
// (frame/library_context.h), which owns it and resets it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "chip/register_mirror.h"
#include "common/platform.h"
#include "quvex/quvex_events.h"

namespace quvex {

constexpr int kMaxCards = 12;
constexpr int kAxesPerCard = 4;
constexpr int kMaxAxes = kMaxCards * kAxesPerCard;

// The global number of a card's first axis (X).
constexpr int first_axis(int card) { return card * kAxesPerCard; }

// A manual-operation speed profile (hand wheel, jog, step).
struct ManualProfile {
    double decel_time;
    double accel_time;
    double start_speed;
    double max_speed;
};

struct AxisRecord {
    double target_pos = 0;
    double prev_target_pos = 0;
    std::int16_t continuous_mode = 0;
    std::int16_t speed_range_fixed = 0;
    double last_decel_time = 0;
    std::int16_t feedback_src = 0;
    ManualProfile mpg{0.1, 0.1, 100.0, 1000.0};
    std::int16_t ratio_p = 2048;
    std::int16_t ratio_m = 1;
    ManualProfile jog{0.1, 0.1, 100.0, 1000.0};
    std::int16_t jog_param = 10;
    ManualProfile step{0.1, 0.1, 100.0, 1000.0};
    std::int16_t step_param = 10;
    double step_distance = 400.0;
    chip::RegisterMirror mirror{chip::kStartupMirror};
};

struct CardRecord {
    plat::Handle device = plat::kNoHandle;
    std::uintptr_t compare_area = 0;
    std::uint16_t card_ctrl = 0;
    std::int16_t present = 0;
    std::uint16_t bridge_base = 0;
    std::uint16_t chip_base = 0;
    std::uint16_t board_base = 0;
    std::uint16_t irq = 0;
    std::int16_t int_enabled = 0;
    std::uintptr_t ring_window = 0;
    // A word of the second resource query that the driver fills and nothing reads; kept as received.
    std::uint32_t unread_resource_word = 0;
    std::int16_t mof_mode = 0;
    std::int16_t mpg_option = 3;
    std::array<AxisRecord, kAxesPerCard> axes{};
    // Driver device number: it names the card's driver events. Equals the card number unless
    // device numbers have gaps.
    int device_number = -1;
};

// Per-card worker thread bookkeeping (compare-event thread and callback thread alike).
// The flags are polled across threads, so they are atomic.
struct WorkerThread {
    plat::Handle handle = plat::kNoHandle;
    std::uint32_t id = 0;
    std::atomic<std::int16_t> run{0};
    std::atomic<std::int16_t> alive{0};
};

struct CardRuntime {
    // The bridge control word read at start-up, without and with the bit that start-up sets
    // (bit 11); write_bridge_control writes one of them back.
    std::uint16_t bridge_control_startup_bit_clear = 0;
    std::uint16_t bridge_control_startup_bit_set = 0;
    std::array<plat::Handle, 5> events{};  // E0..E3 (axis events), E4 (compare event)
    WorkerThread compare_thread;
    WorkerThread callback_thread;
    // The application's callback, called by the callback thread; replaced by a later link.
    std::atomic<quvex_int_callback> callback{nullptr};
    // Set when switching auto compare off suspended the compare-event thread, cleared when that
    // thread is created and when it has ended: the thread is suspended once in its life, so
    // the single resume of quvex_close lets it run out.
    std::atomic<bool> compare_thread_suspended{false};
};

constexpr int kCompareEvent = 4;

struct CardTable {
    std::array<CardRecord, kMaxCards> cards{};
    std::array<CardRuntime, kMaxCards> runtime{};
    std::int16_t max_card = 0;

    // Every card record, axis record and per-card bookkeeping back to its state at load. No card
    // thread may be running.
    void reset();
};

// The card table of the library context.
CardTable& card_table();

// The lock around every port access to every card (in the library context; it lives from
// library attach to detach).
plat::Lock& card_lock();

// Card number of an AxisNo, and the axis within its card.
constexpr int card_of(int axis_no) { return axis_no / kAxesPerCard; }
constexpr int axis_of(int axis_no) { return axis_no % kAxesPerCard; }

// True when card is 0..11 and its record is present. The input-policy guard of every export.
bool card_usable(int card);
// True when axis_no is 0..47 and its card is present.
bool axis_usable(int axis_no);

inline CardRecord& card_record(int card) { return card_table().cards[static_cast<std::size_t>(card)]; }
inline AxisRecord& axis_record(int axis_no) {
    return card_record(card_of(axis_no)).axes[static_cast<std::size_t>(axis_of(axis_no))];
}

}  // namespace quvex
