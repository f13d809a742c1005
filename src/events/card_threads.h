// The per-card worker threads: the compare-event thread started by quvex_initial and the
// callback thread started by quvex_link_interrupt, and their shut-down by quvex_close.
#pragma once

#include <cstdint>

namespace quvex::events {

// A card thread's start argument is its card number itself, so no argument outlives the thread.
inline void* card_thread_arg(int card) { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(card)); }
inline int card_of_thread_arg(void* arg) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(arg)); }

// Sets the run and alive flags and creates the card's compare-event thread. False when the
// thread cannot be created.
bool start_compare_thread(int card);
// Resumes the thread, clears its run flag, wakes it through E4, waits up to 1.1 s for it to
// leave (terminating it after that) and closes E4.
void stop_compare_thread(int card);
// Clears the callback thread's run flag and waits for it the same way, when it is alive.
void stop_callback_thread(int card);

}  // namespace quvex::events
