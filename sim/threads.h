// Threads of the virtual machine (created by the library through the platform).
#pragma once

#include <memory>
#include <mutex>

#include "machine.h"
#include "os.h"

namespace qsim {

// Creates a library thread; the machine lock is held by the caller. Null when the host refuses.
std::shared_ptr<SimThread> start_sim_thread(Machine& m, os::ThreadFunction fn, void* arg);
// Sleeps the calling thread for ms of virtual time (0 yields).
void sleep_current(Machine& m, std::unique_lock<std::mutex>& lk, std::uint32_t ms);

}  // namespace qsim
