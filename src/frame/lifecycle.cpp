#include "frame/lifecycle.h"

#include <cstring>

#include "axis/init_axis.h"
#include "ports/board_ports.h"
#include "ports/primitives.h"
#include "chip/registers.h"
#include "events/card_threads.h"
#include "events/error_log.h"
#include "events/interrupts.h"
#include "card/card_table.h"
#include "card/driver.h"

namespace quvex::frame {
namespace {

// Compare area layout: four axis blocks of 4128 bytes, and one card-level word at 0x4082.
constexpr std::size_t kCompareBlockBytes = 4128;
constexpr std::size_t kCompareCardWord = 0x4082;
constexpr std::size_t kCompareTableOffset = 32;
constexpr std::size_t kCompareTableWords = 1024;

template <typename T>
void clear_at(std::uintptr_t base, std::size_t offset, std::size_t count = 1) {
    std::memset(reinterpret_cast<void*>(base + offset), 0, sizeof(T) * count);
}

void clear_compare_area(std::uintptr_t area) {
    if (area == 0) return;  // a driver that reports no area gets nothing written through it
    clear_at<std::uint16_t>(area, kCompareCardWord);
    for (std::size_t k = 0; k < kAxesPerCard; ++k) {
        const std::size_t block = k * kCompareBlockBytes;
        clear_at<std::uint32_t>(area, block + 0);
        clear_at<std::uint32_t>(area, block + 4);
        clear_at<std::uint16_t>(area, block + 8);
        clear_at<std::uint16_t>(area, block + 12);
        clear_at<std::uint16_t>(area, block + 14);
        clear_at<std::uint32_t>(area, block + 16, 4);
        clear_at<std::uint32_t>(area, block + kCompareTableOffset, kCompareTableWords);
    }
}

// Programs one opened card that answered both resource queries; `card` is its card number.
void start_card(int card) {
    CardRecord& rec = card_record(card);

    chip::pulse_bridge_bit30(card);
    chip::save_bridge_control(card);
    chip::write_bridge_control(card, true);

    rec.card_ctrl = 0;
    chip::write_card_port(card, chip::kCardControlPort, 0);
    chip::write_card_port(card, chip::kCardPort26, 0);

    chip::enable_bridge_interrupt(rec.bridge_base);
    chip::enable_bridge_interrupt(rec.bridge_base);

    for (int a = 0; a < kAxesPerCard; ++a) axis::init_axis(card * kAxesPerCard + a);
    rec.mof_mode = 0;
    rec.mpg_option = 3;
    clear_compare_area(rec.compare_area);
}

}  // namespace

quvex_status initialise_cards(std::int16_t* count) {
    CardTable& table = card_table();
    for (CardRecord& rec : table.cards) rec.present = 0;

    int found = 0;
    for (int d = 0; d < kMaxCards; ++d) {
        const plat::Handle device = driver::open_device(d);
        if (device == plat::kNoHandle) continue;
        driver::FirstResources first{};
        if (!driver::query_first(device, &first)) {
            plat::handle_close(device);
            continue;
        }
        // Cards are numbered in discovery order, so a gap in device numbers never leaves a
        // half-filled record: the record, its axes and its events all live at index `found`.
        const int card = found;
        CardRecord& rec = table.cards[static_cast<std::size_t>(card)];
        driver::SecondResources second{};
        if (!driver::query_second(device, &second)) {
            plat::handle_close(device);
            continue;
        }
        rec.bridge_base = first.bridge_base;
        rec.chip_base = first.chip_base;
        rec.board_base = first.board_base;
        rec.compare_area = first.compare_area;
        rec.int_enabled = 0;
        rec.device = device;
        rec.ring_window = second.ring_window;
        rec.unread_resource_word = second.unread_word;
        rec.irq = second.irq;
        rec.device_number = d;
        rec.present = 1;

        start_card(card);
        ++found;

        CardRuntime& rt = table.runtime[static_cast<std::size_t>(card)];
        rt.events[kCompareEvent] = driver::open_card_event(d, kCompareEvent);
        if (!events::start_compare_thread(card)) return QUVEX_ERR_CARD_THREAD;
    }
    if (found == 0) return QUVEX_ERR_NO_CARD;
    table.max_card = static_cast<std::int16_t>(found - 1);
    if (count != nullptr) *count = static_cast<std::int16_t>(found);
    return QUVEX_OK;
}

quvex_status close_cards() {
    CardTable& table = card_table();
    for (int card = 0; card < kMaxCards && table.cards[static_cast<std::size_t>(card)].present == 1; ++card) {
        CardRecord& rec = table.cards[static_cast<std::size_t>(card)];
        chip::write_card_port(card, chip::kCardControlPort, 0);
        events::int_control(card, 0);
        chip::enable_bridge_interrupt(rec.bridge_base);

        events::stop_compare_thread(card);
        events::stop_callback_thread(card);
        events::int_disable(card);
        plat::handle_close(rec.device);
    }
    events::close_error_log();
    return QUVEX_OK;
}

}  // namespace quvex::frame
