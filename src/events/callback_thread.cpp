#include "events/callback_thread.h"

#include "events/card_threads.h"
#include "events/error_log.h"
#include "events/interrupts.h"
#include "card/card_table.h"
#include "card/driver.h"
#include "common/platform.h"

namespace quvex::events {
namespace {

// A wait that fails (events closed by quvex_int_disable, or never created by the driver) is
// retried after this pause, so the thread neither spins nor misses events opened again later,
// and still sees a cleared run flag well within the 1.1 s quvex_close grants it.
constexpr std::uint32_t kFailedWaitPauseMs = 100;

void handle_axis_event(int card, int k) {
    const int axis_no = card * kAxesPerCard + k;
    if (const quvex_int_callback cb = card_table().runtime[static_cast<std::size_t>(card)].callback.load()) cb(axis_no);
    if (!error_log_open()) return;
    std::uint32_t stop_reasons = 0, unused = 0;
    // A request the driver refuses brings no stop reasons back: its buffer still holds the axis
    // number sent, which must not be logged as reason bits.
    if (!driver::query_axis_status(card_record(card).device, driver::kErrorStatus, k, &stop_reasons, &unused)) return;
    log_stop_reasons(axis_no, stop_reasons);
}

std::uint32_t callback_thread_main(void* arg) {
    const int card = card_of_thread_arg(arg);
    WorkerThread& self = card_table().runtime[static_cast<std::size_t>(card)].callback_thread;
    while (self.run.load() != 0) {
        plat::Handle waits[kAxisEvents];
        for (int k = 0; k < kAxisEvents; ++k) waits[k] = axis_event(card, k);
        std::size_t index = kAxisEvents;
        const plat::WaitResult r = plat::wait_any(waits, kAxisEvents, plat::kWaitForever, &index);
        if (r == plat::WaitResult::failed) {
            plat::sleep_ms(kFailedWaitPauseMs);
            continue;
        }
        if (r != plat::WaitResult::signalled || index >= kAxisEvents) continue;
        handle_axis_event(card, static_cast<int>(index));
    }
    self.alive.store(0);
    return 1;
}

}  // namespace

quvex_status link_interrupt(int card, quvex_int_callback callback) {
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    WorkerThread& worker = rt.callback_thread;
    rt.callback.store(callback);
    // A card has one callback thread: linking again only replaces the callback, which the
    // running thread calls from its next event on. A second thread would be left behind by
    // quvex_close, which ends one.
    if (worker.handle != plat::kNoHandle && worker.alive.load() == 1) return QUVEX_OK;
    worker.alive.store(1);
    worker.run.store(1);
    worker.handle = plat::thread_create(callback_thread_main, card_thread_arg(card), &worker.id);
    return worker.handle != plat::kNoHandle ? QUVEX_OK : QUVEX_ERR_CALLBACK_THREAD;
}

}  // namespace quvex::events
