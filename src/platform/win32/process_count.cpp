// The count of processes that have the library loaded. It lives in a data section that the
// loader maps once for every process using this image, so all of them see the same word.
#include "win32_handle.h"

#if defined(_MSC_VER)
#pragma data_seg(".shared")
volatile LONG g_quvex_process_count = 0;
#pragma data_seg()
#pragma comment(linker, "/SECTION:.shared,RWS")
#else
// Initialised, so the compiler places it in the named section rather than in common storage.
volatile LONG g_quvex_process_count __attribute__((section(".shared"), shared)) = 0;
#endif

namespace quvex::plat {

std::int32_t shared_process_count_add(std::int32_t delta) {
    return InterlockedExchangeAdd(&g_quvex_process_count, delta) + delta;
}

}  // namespace quvex::plat
