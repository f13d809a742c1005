#include "events/card_threads.h"

#include "card/card_table.h"
#include "common/platform.h"

namespace quvex::events {
namespace {

constexpr std::uint32_t kLeaveWaitMs = 100;
constexpr int kLeaveWaitRounds = 11;  // about 1.1 s in all

std::uint32_t compare_thread_main(void* arg) {
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card_of_thread_arg(arg))];
    rt.compare_thread.alive.store(1);
    while (rt.compare_thread.run.load() != 0) {
        // A wake-up does no further work; the loop tests the run flag again. A card whose
        // driver created no E4 leaves at once rather than spinning on a wait that fails.
        if (plat::wait_one(rt.events[kCompareEvent], plat::kWaitForever) == plat::WaitResult::failed) break;
    }
    rt.compare_thread.alive.store(0);
    return 1;
}

// Waits for a worker to clear its alive flag: a 100 ms sleep while it is set; after the 11th
// sleep the worker is terminated without looking at the flag again (a worker that cleared it
// during that sleep may still be on its way out).
void wait_for_leave(WorkerThread& worker) {
    for (int sleeps = 0; worker.alive.load() == 1;) {
        plat::sleep_ms(kLeaveWaitMs);
        if (++sleeps == kLeaveWaitRounds) {
            plat::thread_terminate(worker.handle, 0);
            worker.alive.store(0);
            return;
        }
    }
}

}  // namespace

bool start_compare_thread(int card) {
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    rt.compare_thread.alive.store(1);
    rt.compare_thread.run.store(1);
    rt.compare_thread_suspended.store(false);
    rt.compare_thread.handle = plat::thread_create(compare_thread_main, card_thread_arg(card), &rt.compare_thread.id);
    return rt.compare_thread.handle != plat::kNoHandle;
}

void stop_compare_thread(int card) {
    CardRuntime& rt = card_table().runtime[static_cast<std::size_t>(card)];
    WorkerThread& worker = rt.compare_thread;
    if (worker.handle != plat::kNoHandle) {
        plat::thread_resume(worker.handle);
        worker.run.store(0);
        plat::event_set(rt.events[kCompareEvent]);
        wait_for_leave(worker);
        plat::handle_close(worker.handle);
        worker.handle = plat::kNoHandle;
        rt.compare_thread_suspended.store(false);
    }
    plat::handle_close(rt.events[kCompareEvent]);
    rt.events[kCompareEvent] = plat::kNoHandle;
}

void stop_callback_thread(int card) {
    WorkerThread& worker = card_table().runtime[static_cast<std::size_t>(card)].callback_thread;
    if (worker.alive.load() == 1 && worker.handle != plat::kNoHandle) {
        worker.run.store(0);
        wait_for_leave(worker);
        plat::handle_close(worker.handle);
        worker.handle = plat::kNoHandle;
    }
}

}  // namespace quvex::events
