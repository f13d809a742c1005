// Locks are critical sections placed in the seam's opaque storage.
#include <new>

#include "win32_handle.h"

namespace quvex::plat {
namespace {

static_assert(sizeof(CRITICAL_SECTION) <= sizeof(Lock::storage), "Lock storage too small for a critical section");
static_assert(alignof(CRITICAL_SECTION) <= alignof(Lock), "Lock storage misaligned for a critical section");

CRITICAL_SECTION* section(Lock& l) { return std::launder(reinterpret_cast<CRITICAL_SECTION*>(l.storage)); }

}  // namespace

void lock_init(Lock& l) { InitializeCriticalSection(new (l.storage) CRITICAL_SECTION); }
void lock_destroy(Lock& l) { DeleteCriticalSection(section(l)); }
void lock_enter(Lock& l) { EnterCriticalSection(section(l)); }
void lock_leave(Lock& l) { LeaveCriticalSection(section(l)); }

}  // namespace quvex::plat
